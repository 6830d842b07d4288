#include <lv2/ui/ui.h>

#include <cstring>
#include <memory>

#include "IPlug/EntryGuard.h"
#include "IPlug/LV2/IPlugLV2.h"
#include "IPlug/LV2/LV2Catalogue.h"
#include "IPlug/LV2/LV2EditorUI.h"

// The user-interface binary's one exported function and the calls it leads to. Every call
// is guarded: nothing thrown inside the editor reaches the host.
namespace iplug {
namespace {

LV2EditorUI* UI(LV2UI_Handle handle) { return static_cast<LV2EditorUI*>(handle); }

// The bundle's plug-ins, read once from a plug-in object made for the purpose.
const LV2Catalogue* Catalogue() {
  static const std::unique_ptr<LV2Catalogue> catalogue = GuardedEntry(
      []() -> std::unique_ptr<LV2Catalogue> {
        std::unique_ptr<IPlugLV2> prototype(MakePlugInstance(InstanceInfo{}));
        return prototype ? std::make_unique<LV2Catalogue>(*prototype) : nullptr;
      },
      nullptr);
  return catalogue.get();
}

// Host UI thread.
LV2UI_Handle Instantiate(const LV2UI_Descriptor* /*descriptor*/, const char* pluginURI, const char* /*bundlePath*/,
                         LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features) {
  return GuardedEntry(
      [&]() -> LV2UI_Handle {
        const LV2Catalogue* catalogue = Catalogue();
        const LV2Component* component = catalogue ? catalogue->Find(pluginURI) : nullptr;
        if (!component || !widget) return nullptr;
        std::unique_ptr<LV2EditorUI> ui = LV2EditorUI::Make(*component, write, controller, features);
        if (!ui) return nullptr;
        *widget = ui->Widget();
        return ui.release();
      },
      nullptr);
}

// Host UI thread.
void Cleanup(LV2UI_Handle handle) {
  GuardedEntry([&] { delete UI(handle); });
}

// Host UI thread.
void PortEvent(LV2UI_Handle handle, uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer) {
  GuardedEntry([&] { UI(handle)->PortEvent(port, bufferSize, format, buffer); });
}

// Host UI thread.
int Idle(LV2UI_Handle handle) {
  return GuardedEntry([&] { return UI(handle)->Idle(); }, 1);
}

const LV2UI_Idle_Interface kIdleInterface{Idle};

// Any thread.
const void* ExtensionData(const char* uri) {
  return uri && std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &kIdleInterface : nullptr;
}

const LV2UI_Descriptor* Descriptor() {
  static const std::string uri = [] {
    const LV2Catalogue* catalogue = Catalogue();
    return catalogue ? catalogue->UIURI() : std::string();
  }();
  static const LV2UI_Descriptor descriptor{uri.c_str(), Instantiate, Cleanup, PortEvent, ExtensionData};
  return uri.empty() ? nullptr : &descriptor;
}

}  // namespace
}  // namespace iplug

// Discovery: the bundle's one user interface at index 0, null past it.
extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return iplug::GuardedEntry([&] { return index == 0 ? iplug::Descriptor() : nullptr; }, nullptr);
}
