#include "product/TollenbrookEditor.h"

#include "graphics/IBKnobControl.h"
#include "graphics/IBSwitchControl.h"
#include "graphics/IBitmapControl.h"
#include "graphics/IBubbleControl.h"
#include "graphics/IGEditorDelegate.h"
#include "graphics/IGraphics.h"
#include "product/TollenbrookParams.h"

using namespace igraphics;

namespace {

enum class Kind { kSwitch, kKnob, kMeter };

struct ControlRow {
  Kind kind;
  const char* strip;
  int frames;
  float x;
  float y;
  int paramIdx;
  bool showsValue;
};

// In attach order. Every knob strip has one frame per parameter value.
constexpr ControlRow kControls[] = {
    {Kind::kSwitch, "BYPASS.png", 2, 47, 529, kParamBypass, false},
    {Kind::kSwitch, "EXT.png", 2, 299, 547, kParamExtSidechain, false},
    {Kind::kKnob, "CTHR.png", 16, 26, 308, kParamCompThreshold, true},
    {Kind::kKnob, "LTHR.png", 23, 26, 187, kParamLimitLevel, true},
    {Kind::kKnob, "GAIN.png", 21, 27, 417, kParamGain, true},
    {Kind::kKnob, "MIX.png", 23, 289, 192, kParamMix, true},
    {Kind::kKnob, "RAT.png", 5, 154, 417, kParamRatio, true},
    {Kind::kKnob, "SIDE.png", 5, 289, 294, kParamHigh, true},
    {Kind::kKnob, "SIDE.png", 5, 289, 384, kParamMid, true},
    {Kind::kKnob, "SIDE.png", 5, 289, 473, kParamHighPass, true},
    {Kind::kKnob, "REC.png", 6, 154, 187, kParamLevelRecovery, true},
    {Kind::kKnob, "REC.png", 6, 154, 309, kParamCompRecovery, true},
    {Kind::kMeter, "METER.png", 101, 196, 17, kParamLimiterMeter, false},
    {Kind::kMeter, "METER.png", 101, 26, 17, kParamCompMeter, false},
    {Kind::kSwitch, "OVER.png", 2, 148, 541, kParamOversample, true},
};

constexpr double kKnobGearing = 4.0;

IControl* MakeControl(const ControlRow& row, const IBitmapRef& strip) {
  switch (row.kind) {
    case Kind::kSwitch: return new IBSwitchControl(row.x, row.y, strip, row.paramIdx);
    case Kind::kKnob: return new IBKnobControl(row.x, row.y, strip, row.paramIdx, kVertical, kKnobGearing);
    case Kind::kMeter: return new IBitmapControl(row.x, row.y, strip, row.paramIdx, kBlendDefault);
  }
  return nullptr;
}

}  // namespace

void LayoutTollenbrookEditor(IGraphics* pGraphics) {
  if (!pGraphics) return;
  IGraphics& g = *pGraphics;
  // Dragging the corner zooms the panel; the layout itself never changes.
  g.AttachCornerResizer(kResizeModeScale, false, kColorFaintBlack, kColorBlack, kColorBlack, 20.f);
  g.AttachBackground("BG.png");
  g.EnableMouseOver(true);
  g.EnableMultiTouch(g.PlatformSupportsMultiTouch());
  g.AttachBubbleControl(ITextStyle());
  g.LoadFont("Roboto-Regular", "Roboto-Regular.ttf");

  for (const ControlRow& row : kControls) {
    const IBitmapRef strip = g.LoadBitmap(row.strip, row.frames, false, 0);
    IControl* control = g.AttachControl(MakeControl(row, strip), kNoTag, "");
    if (control && row.showsValue) control->SetActionFunction(ShowValueBubble);
  }
}

void ShowValueBubble(IControl* pCaller) {
  if (!pCaller || !pCaller->GetUI()) return;
  const iplug::IParam* param = pCaller->GetParam(0);
  if (!param) return;  // nothing to show for an unbound control
  iplug::TextBuffer str;
  param->GetDisplayWithLabel(str, true);
  const IBounds& r = pCaller->GetRECT();
  pCaller->GetUI()->ShowBubbleControl(pCaller, r.MW(), r.T, str.Get(), kBubbleVertical, IBounds(0, 0, 50, 20));
}

void InstallTollenbrookEditor(IGEditorDelegate& delegate, TollenbrookGraphicsMaker makeGraphics) {
  delegate.SetGraphicsFactory([&delegate, makeGraphics = std::move(makeGraphics)]() -> IGraphics* {
    return makeGraphics ? makeGraphics(delegate, kEditorWidth, kEditorHeight, kEditorFPS, kEditorScale) : nullptr;
  });
  delegate.SetLayoutFunction(LayoutTollenbrookEditor);
}
