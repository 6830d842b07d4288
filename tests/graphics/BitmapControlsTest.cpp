#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "graphics/EditorFixture.h"
#include "graphics/FrameReading.h"
#include "graphics/IBKnobControl.h"
#include "graphics/IBSwitchControl.h"
#include "graphics/IBitmapControl.h"

using namespace testgraphics;

namespace {
class BitmapControls : public EditorFixture {
protected:
  void SetUp() override { OpenEditor(); }
};

IMouseMod WithShift() {
  IMouseMod m;
  m.L = true;
  m.S = true;
  return m;
}
}  // namespace

TEST(IBitmapBase, ValueToFrameCoversEqualBands) {
  EXPECT_EQ(IBitmapBase::FrameForValue(0.004, 101), 1);
  EXPECT_EQ(IBitmapBase::FrameForValue(0.005, 101), 2);
  EXPECT_EQ(IBitmapBase::FrameForValue(0.499, 101), 51);
  EXPECT_EQ(IBitmapBase::FrameForValue(1.0, 101), 101);
  EXPECT_EQ(IBitmapBase::FrameForValue(7.0, 101), 101);
  EXPECT_EQ(IBitmapBase::FrameForValue(-1.0, 101), 1);
  EXPECT_EQ(IBitmapBase::FrameForValue(std::nan(""), 5), 1);
  EXPECT_EQ(IBitmapBase::FrameForValue(0.9, 1), 1);
  // Each of N frames owns the values nearest to its own: brute force over a fine grid.
  for (int n = 2; n <= 23; ++n) {
    for (int i = 0; i <= 1000; ++i) {
      const double v = i / 1000.0;
      int nearest = 1;
      bool tie = false;
      for (int k = 2; k <= n; ++k) {
        const double dk = std::fabs((k - 1) / double(n - 1) - v);
        const double dn = std::fabs((nearest - 1) / double(n - 1) - v);
        if (std::fabs(dk - dn) < 1e-9) tie = true;
        if (dk < dn) nearest = k;
      }
      if (!tie) {
        ASSERT_EQ(IBitmapBase::FrameForValue(v, n), nearest) << n << " " << v;
      }
    }
  }
}

TEST_F(BitmapControls, KnobsMoveByTheirHeightTimesTheGearing) {
  // Unbound knobs show the raw drag: 1/(4 h) per unit, ten times finer with a modifier.
  for (const int param : {kParamGain, kParamMix}) {
    IControl* bound = ControlFor(param);
    auto* knob = static_cast<IBKnobControl*>(G().AttachControl(
        new IBKnobControl(bound->GetRECT().L, bound->GetRECT().T, static_cast<IBKnobControl*>(bound)->GetBitmap(),
                          kNoParameter)));
    const float h = knob->GetRECT().H();
    const IBounds r = knob->GetRECT();
    Press(r.MW(), r.MH());
    Drag(r.MW(), r.MH() - 10);
    EXPECT_NEAR(knob->GetValue(), 10.0 / (4 * h), 1e-12) << h;
    Drag(r.MW(), r.MH() - 20, WithShift());
    EXPECT_NEAR(knob->GetValue(), 10.0 / (4 * h) + 10.0 / (40 * h), 1e-12);
    Release(r.MW(), r.MH() - 20);
  }
}

TEST_F(BitmapControls, SlowDragsOverASteppedParameterStillAdvance) {
  IControl* knob = ControlFor(kParamGain);  // 21 values: one step is 20 units of drag
  const IBounds r = knob->GetRECT();
  Press(r.MW(), r.MH());
  float y = r.MH();
  for (int i = 0; i < 30; ++i) Drag(r.MW(), y -= 1.f);
  EXPECT_EQ(mDelegate.GetParam(kParamGain)->Value(), 2.0) << "30/400 of 20 steps is 1.5, rounded up";
  Release(r.MW(), y);
}

TEST_F(BitmapControls, WheelMovesOneStepWhateverTheDelta) {
  IControl* knob = ControlFor(kParamMix);
  const IBounds r = knob->GetRECT();
  const iplug::IParam& mix = *mDelegate.GetParam(kParamMix);
  G().OnMouseWheel(r.MW(), r.MH(), IMouseMod(), -5.f);
  EXPECT_EQ(mix.Value(), 21.0);
  G().OnMouseWheel(r.MW(), r.MH(), IMouseMod(), -0.3f);
  EXPECT_EQ(mix.Value(), 20.0);
  G().OnMouseWheel(r.MW(), r.MH(), IMouseMod(), 1.f);
  EXPECT_EQ(mix.Value(), 21.0);
  G().OnMouseWheel(r.MW(), r.MH(), IMouseMod(), 9.f);
  G().OnMouseWheel(r.MW(), r.MH(), IMouseMod(), 9.f);
  EXPECT_EQ(mix.Value(), 22.0) << "stops at the top";
  for (const std::string& e : TakeHostEvents()) EXPECT_EQ(e.rfind("set ", 0), 0u) << "the wheel opens no gesture";
  // Unbound knobs move by 0.01 per unit of delta, 0.001 with a modifier.
  auto* free = static_cast<IBKnobControl*>(G().AttachControl(
      new IBKnobControl(0.f, 100.f, static_cast<IBKnobControl*>(knob)->GetBitmap(), kNoParameter)));
  G().OnMouseWheel(10, 110, IMouseMod(), 3.f);
  EXPECT_NEAR(free->GetValue(), 0.03, 1e-12);
  IMouseMod ctrl;
  ctrl.C = true;
  G().OnMouseWheel(10, 110, ctrl, 3.f);
  EXPECT_NEAR(free->GetValue(), 0.033, 1e-12);
}

TEST_F(BitmapControls, KnobHidesTheCursorWhileHeld) {
  IControl* knob = ControlFor(kParamHigh);
  const IBounds r = knob->GetRECT();
  TakeEvents();
  Press(r.MW(), r.MH());
  EXPECT_TRUE(G().IsCursorHidden());
  Release(r.MW(), r.MH());
  EXPECT_FALSE(G().IsCursorHidden());
  const std::vector<std::string> events = TakeEvents();
  EXPECT_NE(std::find(events.begin(), events.end(), "HideMouseCursor 11"), events.end());
  EXPECT_NE(std::find(events.begin(), events.end(), "HideMouseCursor 01"), events.end());
}

TEST_F(BitmapControls, SwitchDoubleClickTogglesTwiceWithGestures) {
  IControl* ext = ControlFor(kParamExtSidechain);
  const IBounds r = ext->GetRECT();
  TakeEvents();
  Press(r.MW(), r.MH());
  Release(r.MW(), r.MH());
  EXPECT_TRUE(G().OnMouseDblClick(r.MW(), r.MH(), Left()));
  Release(r.MW(), r.MH());
  EXPECT_EQ(mDelegate.GetParam(kParamExtSidechain)->Value(), 0.0);
  EXPECT_EQ(TakeHostEvents(), (std::vector<std::string>{"begin 11", "set 11 1.0000", "end 11", "begin 11",
                                                        "set 11 0.0000", "end 11"}));
}

TEST_F(BitmapControls, KnobDoubleClickDoesNothingAndDropsCaptures) {
  IControl* knob = ControlFor(kParamMid);
  const IBounds r = knob->GetRECT();
  const double before = knob->GetValue();
  TakeEvents();
  EXPECT_TRUE(G().OnMouseDblClick(r.MW(), r.MH(), Left()));
  EXPECT_EQ(G().NCapturedPointers(), 0);
  EXPECT_EQ(knob->GetValue(), before);
  EXPECT_TRUE(TakeHostEvents().empty());
}

TEST_F(BitmapControls, MultiFrameSwitchStepsThroughItsStatesAndWraps) {
  // A three-frame strip: 1/2 per click, and 1/2 + 1/2 lands on the last state.
  const IBitmapRef strip = G().LoadBitmap("REC.png", 3);
  auto* sw = static_cast<IBSwitchControl*>(G().AttachControl(new IBSwitchControl(0.f, 0.f, strip)));
  std::vector<double> seen;
  for (int i = 0; i < 4; ++i) {
    G().OnMouseDown({IMouseState{5, 5, 0, 0, Left()}});
    G().OnMouseUp({IMouseState{5, 5, 0, 0, Left()}});
    seen.push_back(sw->GetValue());
  }
  EXPECT_EQ(seen, (std::vector<double>{0.5, 1.0, 0.0, 0.5}));
  EXPECT_EQ(sw->GetNumStates(), 2) << "unbound: the constructor's count";
  EXPECT_EQ(static_cast<ISwitchControlBase*>(ControlFor(kParamBypass))->GetNumStates(), 2)
      << "bound: the parameter's range";
}

TEST_F(BitmapControls, BitmapDrawsSelectFramesInsideTheStrip) {
  G().Frame();
  IControl* knob = ControlFor(kParamCompRecovery);  // REC.png: 6 frames of 81 x 100
  for (int v = 0; v <= 5; ++v) {
    mDelegate.SendParamValueToEditor(kParamCompRecovery, v, false);
    const std::vector<DrawOp> draws = BitmapDrawsAt(G().Frame(), knob->GetRECT().L, knob->GetRECT().T);
    ASSERT_EQ(draws.size(), 1u) << v;
    EXPECT_EQ(draws[0].name, "REC.png");
    EXPECT_EQ(draws[0].srcY, v * 100);
    EXPECT_EQ(draws[0].srcX, 0);
    EXPECT_EQ(draws[0].rect, knob->GetRECT());
  }
}

TEST_F(BitmapControls, DisabledControlsDrawFaint) {
  G().Frame();
  IControl* knob = ControlFor(kParamHighPass);
  knob->SetDisabled(true);
  const std::vector<DrawOp> draws = BitmapDrawsAt(G().Frame(), knob->GetRECT().L, knob->GetRECT().T);
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_FLOAT_EQ(draws[0].weight, 0.25f);
  const IBounds r = knob->GetRECT();
  TakeEvents();
  Press(r.MW(), r.MH());
  EXPECT_TRUE(TakeHostEvents().empty()) << "disabled controls take no clicks";
}

TEST_F(BitmapControls, AMissingStripGivesAnEmptyControlThatDrawsNothing) {
  const IBitmapRef missing = G().LoadBitmap("NOPE.png", 4);
  EXPECT_FALSE(missing.IsValid());
  EXPECT_EQ(missing.W(), 0);
  auto* c = G().AttachControl(new IBitmapControl(10.f, 10.f, missing));
  EXPECT_EQ(c->GetRECT(), IBounds(10, 10, 10, 10));
  EXPECT_FALSE(G().LoadBitmap("BG.gif").IsValid()) << "unsupported extension";
}
