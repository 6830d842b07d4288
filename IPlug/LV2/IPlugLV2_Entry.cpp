#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include <cstring>
#include <memory>
#include <vector>

#include "IPlug/EntryGuard.h"
#include "IPlug/LV2/IPlugLV2.h"
#include "IPlug/LV2/LV2Catalogue.h"

// The bundle's one exported function and the descriptor calls it leads to. Every call is
// guarded: nothing thrown inside the plug-in reaches the host.
namespace iplug {
namespace {

// The plug-ins of the bundle, read once from a plug-in object made for the purpose.
struct Bundle {
  std::unique_ptr<LV2Catalogue> mCatalogue;
  std::vector<LV2_Descriptor> mDescriptors;
};

const Bundle& TheBundle();

const LV2Component* ComponentOf(const LV2_Descriptor* descriptor) {
  const Bundle& bundle = TheBundle();
  for (size_t i = 0; i < bundle.mDescriptors.size(); ++i)
    if (&bundle.mDescriptors[i] == descriptor) return &bundle.mCatalogue->Components()[i];
  return nullptr;
}

IPlugLV2* Plug(LV2_Handle instance) { return static_cast<IPlugLV2*>(instance); }

// Host main thread.
LV2_Handle Instantiate(const LV2_Descriptor* descriptor, double sampleRate, const char* /*bundlePath*/,
                       const LV2_Feature* const* features) {
  return GuardedEntry(
      [&]() -> LV2_Handle {
        const LV2Component* component = ComponentOf(descriptor);
        if (!component) return nullptr;
        std::unique_ptr<IPlugLV2> plug(MakePlugInstance(InstanceInfo{sampleRate, features}));
        if (!plug) return nullptr;
        plug->LayOutPorts(*component);
        return plug.release();
      },
      nullptr);
}

// Audio thread class. Allocates nothing.
void ConnectPort(LV2_Handle instance, uint32_t port, void* data) { Plug(instance)->ConnectPort(port, data); }

// Host main thread.
void Activate(LV2_Handle instance) {
  GuardedEntry([&] { Plug(instance)->Activate(); });
}

// Audio thread. Allocates nothing, takes no lock.
void Run(LV2_Handle instance, uint32_t nFrames) { Plug(instance)->Run(nFrames); }

void Deactivate(LV2_Handle /*instance*/) {}

// Host main thread.
void Cleanup(LV2_Handle instance) { delete Plug(instance); }

// Any thread but the audio thread.
LV2_State_Status Save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle,
                      uint32_t /*flags*/, const LV2_Feature* const* /*features*/) {
  return GuardedEntry([&] { return Plug(instance)->SaveState(store, handle); }, LV2_STATE_ERR_UNKNOWN);
}

// Host main thread, not concurrently with run().
LV2_State_Status Restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                         uint32_t /*flags*/, const LV2_Feature* const* /*features*/) {
  return GuardedEntry([&] { return Plug(instance)->RestoreState(retrieve, handle); }, LV2_STATE_ERR_UNKNOWN);
}

const LV2_State_Interface kStateInterface{Save, Restore};

// Any thread.
const void* ExtensionData(const char* uri) {
  return uri && std::strcmp(uri, LV2_STATE__interface) == 0 ? &kStateInterface : nullptr;
}

const Bundle& TheBundle() {
  static const Bundle bundle = [] {
    Bundle b;
    const bool made = GuardedEntry(
        [&b] {
          std::unique_ptr<IPlugLV2> prototype(MakePlugInstance(InstanceInfo{}));
          if (!prototype) return true;
          b.mCatalogue = std::make_unique<LV2Catalogue>(*prototype);
          for (const LV2Component& c : b.mCatalogue->Components())
            b.mDescriptors.push_back(LV2_Descriptor{c.mURI.c_str(), Instantiate, ConnectPort, Activate, Run, Deactivate,
                                                    Cleanup, ExtensionData});
          return true;
        },
        false);
    if (!made) b.mDescriptors.clear();
    return b;
  }();
  return bundle;
}

}  // namespace
}  // namespace iplug

// Discovery: the bundle's plug-ins by index, null past the last.
extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  const iplug::Bundle& bundle = iplug::TheBundle();
  return index < bundle.mDescriptors.size() ? &bundle.mDescriptors[index] : nullptr;
}
