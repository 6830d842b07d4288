#include "graphics/EditorFixture.h"

#include <cstdio>

#include "graphics/IBubbleControl.h"
#include "product/TollenbrookEditor.h"

namespace testgraphics {

namespace {

void InitIntWithTexts(iplug::IParam& p, const char* name, int def, const std::vector<const char*>& texts) {
  p.InitInt(name, def, 0, static_cast<int>(texts.size()) - 1, "", 0, "");
  for (size_t i = 0; i < texts.size(); ++i) p.SetDisplayText(static_cast<double>(i), texts[i]);
}

std::string Format(double v) {
  char buf[32];
  std::snprintf(buf, sizeof(buf), "%.4f", v);
  return buf;
}

}  // namespace

void InitTollenbrookParams(iplug::IEditorDelegate& d) {
  InitIntWithTexts(*d.GetParam(kParamCompThreshold), "Compressor Threshold", 15,
                   {"-20dB", "-18dB", "-16dB", "-14dB", "-12dB", "-11dB", "-10dB", "-8dB", "-4dB", "-2dB", "0dB",
                    "2dB", "4dB", "6dB", "8dB", "10dB"});
  InitIntWithTexts(*d.GetParam(kParamLimitLevel), "Limit Level", 22,
                   {"4dB", "4.5dB", "5dB", "5.5dB", "6dB", "6.5dB", "7dB", "7.5dB", "8dB", "8.5dB", "9dB", "9.5dB",
                    "10dB", "10.5dB", "11dB", "11.5dB", "12dB", "12.5dB", "13dB", "13.5dB", "14dB", "14.5dB",
                    "15dB"});
  static const std::vector<std::string> gainTexts = [] {
    std::vector<std::string> t;
    for (int i = 0; i <= 20; ++i) t.push_back(std::to_string(i) + "dB");
    return t;
  }();
  std::vector<const char*> gain;
  for (const std::string& t : gainTexts) gain.push_back(t.c_str());
  InitIntWithTexts(*d.GetParam(kParamGain), "Gain", 0, gain);
  InitIntWithTexts(*d.GetParam(kParamMix), "Mix", 22,
                   {"100/0", "95/5", "90/10", "85/15", "80/20", "75/25", "70/30", "65/35", "60/40", "55/45", "53/47",
                    "50/50", "47/53", "45/55", "40/60", "35/65", "30/70", "25/75", "20/80", "15/85", "10/90",
                    "5/95", "0/100"});
  InitIntWithTexts(*d.GetParam(kParamRatio), "Ratio", 2, {"1.5:1", "2:1", "3:1", "4:1", "6:1"});
  InitIntWithTexts(*d.GetParam(kParamHigh), "High", 2, {"-6dB", "-3dB", "0dB", "3dB", "6dB"});
  InitIntWithTexts(*d.GetParam(kParamMid), "Mid", 2, {"-6dB", "-3dB", "0dB", "3dB", "6dB"});
  InitIntWithTexts(*d.GetParam(kParamHighPass), "High Pass Filter", 0, {"OFF", "50Hz", "80Hz", "160Hz", "360Hz"});
  InitIntWithTexts(*d.GetParam(kParamCompRecovery), "Compressor Recovery Time", 1,
                   {"100ms", "400ms", "800ms", "1500ms", "Auto-1", "Auto-2"});
  InitIntWithTexts(*d.GetParam(kParamLevelRecovery), "Level Recovery Time", 1,
                   {"50ms", "100ms", "200ms", "800ms", "Auto-1", "Auto-2"});
  d.GetParam(kParamBypass)->InitInt("Bypass", 1, 0, 1, "", 0, "");
  d.GetParam(kParamExtSidechain)->InitInt("External Sidechain", 0, 0, 1, "", 0, "");
  // 12 and 13 are the meter channels: never initialised.
  InitIntWithTexts(*d.GetParam(kParamOversample), "Oversample", 0, {"Oversampling Off", "Oversampling On"});
}

std::vector<std::string> DisplayTexts(const iplug::IEditorDelegate& d, int paramIdx) {
  std::vector<std::string> texts;
  const iplug::IParam* p = d.GetParam(paramIdx);
  for (int i = 0; i < p->NDisplayTexts(); ++i) texts.emplace_back(p->GetDisplayTextAtIdx(i));
  return texts;
}

TestDelegate::TestDelegate(std::vector<std::string>* events) : IGEditorDelegate(kNumParams), mEvents(events) {
  InitTollenbrookParams(*this);
  SetEditorSize(378, 591);
  SetSizeConstraints(189, 756, 295, 1182);
}

void TestDelegate::BeginParamGestureFromEditor(int paramIdx) { mEvents->push_back("begin " + std::to_string(paramIdx)); }

void TestDelegate::EndParamGestureFromEditor(int paramIdx) { mEvents->push_back("end " + std::to_string(paramIdx)); }

void TestDelegate::SetParamFromEditor(int paramIdx, double normalizedValue) {
  mEvents->push_back("set " + std::to_string(paramIdx) + " " + Format(normalizedValue));
  IGEditorDelegate::SetParamFromEditor(paramIdx, normalizedValue);
}

bool TestDelegate::ResizeFromEditor(int width, int height, bool resizeHostWindow) {
  mEvents->push_back("resize " + std::to_string(width) + "x" + std::to_string(height) +
                     (resizeHostWindow ? " host" : ""));
  SetEditorSize(width, height);
  return true;
}

void TestDelegate::OnParamChangeInEditor(int, iplug::ParamSource) { ++mParamChangesInEditor; }

EditorFixture::EditorFixture() {
  InstallTollenbrookEditor(mDelegate, [this](IGEditorDelegate& d, int w, int h, int fps, float scale) {
    auto* g = new RecordingGraphics(d, w, h, fps, scale, &mEvents);
    g->mMultiTouch = mPlatformMultiTouch;
    g->mOpenScreenScale = mScreenScale;
    return g;
  });
}

void EditorFixture::OpenEditor() {
  ASSERT_NE(mDelegate.OpenEditor(&mParentWindow), nullptr);
  ASSERT_NE(mDelegate.GetUI(), nullptr);
}

IControl* EditorFixture::ControlFor(int paramIdx) {
  for (int i = 0; i < G().NControls(); ++i)
    if (G().GetControl(i)->GetParamIdx() == paramIdx) return G().GetControl(i);
  return nullptr;
}

void EditorFixture::Press(float x, float y, IMouseMod mod) {
  IMouseState s;
  s.x = x;
  s.y = y;
  s.ms = mod;
  mLastX = x;
  mLastY = y;
  G().OnMouseDown({s});
}

void EditorFixture::Drag(float x, float y, IMouseMod mod) {
  IMouseState s;
  s.x = x;
  s.y = y;
  s.dX = x - mLastX;
  s.dY = y - mLastY;
  s.ms = mod;
  mLastX = x;
  mLastY = y;
  G().OnMouseDrag({s});
}

void EditorFixture::Release(float x, float y, IMouseMod mod) {
  IMouseState s;
  s.x = x;
  s.y = y;
  s.ms = mod;
  G().OnMouseUp({s});
}

std::vector<std::string> EditorFixture::TakeHostEvents() {
  std::vector<std::string> host;
  for (const std::string& e : TakeEvents())
    if (e.rfind("begin ", 0) == 0 || e.rfind("end ", 0) == 0 || e.rfind("set ", 0) == 0) host.push_back(e);
  return host;
}

}  // namespace testgraphics
