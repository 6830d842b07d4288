#include "IPlug/LV2/LV2EditorUI.h"

#include <cstring>

#include "IPlug/LV2/IPlugLV2.h"
#include "IPlug/LV2/LV2Features.h"
#include "IPlug/LV2/LV2PortLayout.h"
#include "IPlug/TimerRunLoop.h"
#include "graphics/IGraphics.h"

namespace iplug {

std::unique_ptr<LV2EditorUI> LV2EditorUI::Make(const LV2Component& component, LV2UI_Write_Function write,
                                               LV2UI_Controller controller, const LV2_Feature* const* features) {
  std::unique_ptr<LV2EditorUI> ui(new LV2EditorUI());
  ui->mWrite = write;
  ui->mController = controller;
  ui->mResize = static_cast<const LV2UI_Resize*>(FindFeature(features, LV2_UI__resize));
  ui->mTouch = static_cast<const LV2UI_Touch*>(FindFeature(features, LV2_UI__touch));
  ui->mPlug.reset(MakePlugInstance(InstanceInfo{48000.0, features}));
  if (!ui->mPlug || !ui->mPlug->HasUI()) return nullptr;
  ui->mPlug->LayOutPorts(component);
  ui->mPlug->AttachUIPeer(ui.get());
  ui->mHeld.assign(static_cast<size_t>(ui->mPlug->NParams()), false);
  // The editor's timer runs on this thread, pumped by the idle calls.
  ui->mPlug->StartTimer();
  ui->mWidget = ui->mPlug->OpenEditor(const_cast<void*>(FindFeature(features, LV2_UI__parent)));
  if (!ui->mWidget) return nullptr;
  if (ui->mResize && ui->mResize->ui_resize) {
    igraphics::IGraphics* graphics = ui->mPlug->GetUI();
    const float scale = graphics->GetPlatformWindowScale();
    ui->mResize->ui_resize(ui->mResize->handle, static_cast<int>(static_cast<float>(graphics->WindowWidth()) * scale),
                           static_cast<int>(static_cast<float>(graphics->WindowHeight()) * scale));
  }
  return ui;
}

LV2EditorUI::~LV2EditorUI() {
  if (!mPlug) return;
  mPlug->CloseEditor();
  mPlug->StopTimer();
  mPlug->AttachUIPeer(nullptr);
}

void LV2EditorUI::PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer) {
  const LV2PortEntry* entry = mPlug->PortLayout() ? mPlug->PortLayout()->Port(port) : nullptr;
  if (!entry || format != 0 || bufferSize != sizeof(float) || !buffer) return;
  float value = 0.f;
  std::memcpy(&value, buffer, sizeof value);
  switch (entry->mRole) {
    case LV2PortRole::kParam:
      // A value the host sends back while the user still holds the control is older than
      // the control's own.
      if (mPlug->IsValidParamIdx(entry->mIdx) && !mHeld[static_cast<size_t>(entry->mIdx)])
        HostParams(*mPlug).SetFromHost(entry->mIdx, value, HostParams::Scale::kPlain, HostParams::EditorNotice::kDirect);
      break;
    case LV2PortRole::kMeter: mPlug->ShowMeterValue(entry->mIdx, value); break;
    case LV2PortRole::kEditorZoom: mPlug->ShowEditorZoom(value); break;
    default: break;
  }
}

int LV2EditorUI::Idle() {
  TimerRunLoop::Pump();
  // A top-level window closes by the user's hand; the host then closes the interface.
  igraphics::IGraphics* graphics = mPlug->GetUI();
  return graphics && graphics->WindowIsOpen() ? 0 : 1;
}

void LV2EditorUI::WritePort(int port, float value) {
  if (port >= 0 && mWrite) mWrite(mController, static_cast<uint32_t>(port), sizeof value, 0, &value);
}

void LV2EditorUI::WriteParam(int paramIdx, float value) {
  if (const LV2PortLayout* layout = mPlug->PortLayout()) WritePort(layout->IndexOf(LV2PortRole::kParam, paramIdx), value);
}

void LV2EditorUI::TouchParam(int paramIdx, bool grabbed) {
  if (!mPlug->IsValidParamIdx(paramIdx)) return;
  mHeld[static_cast<size_t>(paramIdx)] = grabbed;
  const LV2PortLayout* layout = mPlug->PortLayout();
  const int port = layout ? layout->IndexOf(LV2PortRole::kParam, paramIdx) : -1;
  if (port >= 0 && mTouch && mTouch->touch) mTouch->touch(mTouch->handle, static_cast<uint32_t>(port), grabbed);
}

bool LV2EditorUI::EditorResized(int width, int height) {
  if (igraphics::IGraphics* graphics = mPlug->GetUI()) {
    if (const LV2PortLayout* layout = mPlug->PortLayout())
      WritePort(layout->IndexOf(LV2PortRole::kEditorZoom), graphics->GetDrawScale());
  }
  return mResize && mResize->ui_resize && mResize->ui_resize(mResize->handle, width, height) == 0;
}

}  // namespace iplug
