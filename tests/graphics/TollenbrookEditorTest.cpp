#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "graphics/EditorFixture.h"
#include "graphics/FrameReading.h"
#include "graphics/IBKnobControl.h"
#include "graphics/IBSwitchControl.h"
#include "graphics/IBitmapControl.h"
#include "graphics/IBubbleControl.h"
#include "graphics/ICornerResizerControl.h"

using namespace testgraphics;

namespace {

struct ExpectedRow {
  const char* kind;
  float x, y, w, h;
  int paramIdx;
};

// Positions from the layout table; sizes are the strips' frames (2x pixels / 2 / frames).
const ExpectedRow kRows[] = {
    {"switch", 47, 529, 43, 32, kParamBypass},       {"switch", 299, 547, 43, 32, kParamExtSidechain},
    {"knob", 26, 308, 81, 100, kParamCompThreshold}, {"knob", 26, 187, 81, 100, kParamLimitLevel},
    {"knob", 27, 417, 81, 100, kParamGain},          {"knob", 289, 192, 61, 75, kParamMix},
    {"knob", 154, 417, 81, 100, kParamRatio},        {"knob", 289, 294, 61, 75, kParamHigh},
    {"knob", 289, 384, 61, 75, kParamMid},           {"knob", 289, 473, 61, 75, kParamHighPass},
    {"knob", 154, 187, 81, 100, kParamLevelRecovery}, {"knob", 154, 309, 81, 100, kParamCompRecovery},
    {"meter", 196, 17, 155, 72, kParamLimiterMeter}, {"meter", 26, 17, 155, 72, kParamCompMeter},
    {"switch", 148, 541, 96, 8, kParamOversample},
};

const char* KindOf(IControl* c) {
  if (dynamic_cast<IBKnobControl*>(c)) return "knob";
  if (dynamic_cast<IBSwitchControl*>(c)) return "switch";
  if (dynamic_cast<IBitmapControl*>(c)) return "meter";
  return "?";
}

// Rounding of a stepped parameter: half away from zero.
double RoundHalfAway(double v) { return v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5); }

class TollenbrookEditor : public EditorFixture {
protected:
  void SetUp() override { OpenEditor(); }
};

}  // namespace

TEST_F(TollenbrookEditor, OpeningCreatesBackgroundFifteenControlsResizerAndBubble) {
  ASSERT_EQ(G().NControls(), 16);
  auto* bg = dynamic_cast<IBitmapControl*>(Control(0));
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(bg->GetRECT(), IBounds(0, 0, 378, 591));
  EXPECT_EQ(bg->GetParamIdx(), kNoParameter);
  for (int i = 0; i < 15; ++i) {
    IControl* c = Control(i + 1);
    const ExpectedRow& row = kRows[i];
    SCOPED_TRACE(i);
    EXPECT_STREQ(KindOf(c), row.kind);
    EXPECT_EQ(c->GetRECT(), IBounds(row.x, row.y, row.x + row.w, row.y + row.h));
    EXPECT_EQ(c->GetParamIdx(), row.paramIdx);
    if (auto* knob = dynamic_cast<IBKnobControl*>(c)) {
      EXPECT_EQ(knob->GetDirection(), kVertical);
      EXPECT_EQ(knob->GetGearing(), 4.0);
      EXPECT_EQ(knob->GetBitmap().N(), static_cast<int>(mDelegate.GetParam(row.paramIdx)->GetMax()) + 1)
          << "one frame per value";
    }
  }
  ASSERT_NE(G().GetCornerResizer(), nullptr);
  EXPECT_EQ(G().GetCornerResizer()->GetRECT(), IBounds(358, 571, 378, 591));
  EXPECT_EQ(G().GetResizeMode(), kResizeModeScale);
  EXPECT_EQ(G().NBubbleControls(), 1);
  EXPECT_TRUE(Bubble()->IsHidden());
  EXPECT_STREQ(Bubble()->GetText().mFont, "Roboto-Regular");
  EXPECT_TRUE(G().MouseOverEnabled());
  EXPECT_FALSE(G().MultiTouchEnabled());
  EXPECT_EQ(G().mLoadedFonts, std::vector<std::string>{"Roboto-Regular"});
  // Shared strips are decoded once: twelve images for sixteen bitmap controls.
  std::vector<std::string> loaded = G().mLoadedImages;
  std::sort(loaded.begin(), loaded.end());
  EXPECT_EQ(loaded.size(), 12u);
  EXPECT_EQ(std::unique(loaded.begin(), loaded.end()), loaded.end());
}

TEST_F(TollenbrookEditor, MultiTouchFollowsThePlatform) {
  CloseEditor();
  mPlatformMultiTouch = true;
  OpenEditor();
  EXPECT_TRUE(G().MultiTouchEnabled());
}

TEST_F(TollenbrookEditor, OpeningPushesEveryParameterIntoItsControls) {
  for (int i = 1; i < G().NControls(); ++i) {
    IControl* c = Control(i);
    EXPECT_DOUBLE_EQ(c->GetValue(), mDelegate.GetParam(c->GetParamIdx())->GetNormalized()) << i;
  }
}

TEST_F(TollenbrookEditor, RatioKnobDragSweepsTheRangeAndShowsTheValueAbove) {
  IControl* knob = ControlFor(kParamRatio);
  const IBounds r = knob->GetRECT();
  const float sweep = r.H() * 4.f;  // knob height times gearing
  const iplug::IParam& ratio = *mDelegate.GetParam(kParamRatio);
  const std::vector<std::string> texts = DisplayTexts(mDelegate, kParamRatio);

  float y = r.MH();
  Press(r.MW(), y);
  for (int i = 0; i < static_cast<int>(sweep); ++i) Drag(r.MW(), ++y);
  ASSERT_EQ(ratio.Value(), 0.0) << "a full sweep downwards reaches the bottom";

  bool sawThird = false;
  for (int u = 1; u <= static_cast<int>(sweep) + 50; ++u) {
    Drag(r.MW(), --y);
    const double steps = 4.0 * std::min(u / sweep, 1.f);
    const double expected = RoundHalfAway(steps);
    // Exactly between two values the summed drag may fall either side.
    if (std::fabs(steps - std::floor(steps) - 0.5) < 1e-6) continue;
    ASSERT_EQ(ratio.Value(), expected) << "after " << u << " units up";
    ASSERT_STREQ(Bubble()->GetString(), texts[static_cast<size_t>(expected)].c_str());
    if (expected == 2 && !sawThird) {
      sawThird = true;
      EXPECT_STREQ(Bubble()->GetString(), "3:1");
      // "3:1" is narrower than the bubble's minimum 50 x 20 text area: the box is that area
      // plus 5 padding and 10 shadow margin each side, centred above the knob's top edge.
      EXPECT_EQ(Bubble()->GetBubbleBounds(), IBounds(r.MW() - 40, r.T - 40, r.MW() + 40, r.T));
      EXPECT_EQ(Bubble()->GetTailSide(), IBubbleControl::kTailBottom);
      EXPECT_FALSE(Bubble()->IsHidden());
    }
  }
  EXPECT_TRUE(sawThird);
  EXPECT_EQ(ratio.Value(), 4.0) << "dragging past the end keeps the top";
  for (int i = 0; i < 60; ++i) Drag(r.MW(), ++y);
  EXPECT_EQ(ratio.Value(), 3.0) << "reversing moves at once: 340 of 400 units rounds to 3";
  Release(r.MW(), y);
  EXPECT_EQ(knob->GetValue(), ratio.GetNormalized());
}

TEST_F(TollenbrookEditor, KnobNearTheTopEdgeShowsTheBubbleBelow) {
  IControl* knob = ControlFor(kParamRatio);
  knob->SetPosition(154, 10);
  const IBounds r = knob->GetRECT();
  Press(r.MW(), r.MH());
  Drag(r.MW(), r.MH() - 60);
  EXPECT_EQ(Bubble()->GetTailSide(), IBubbleControl::kTailTop);
  EXPECT_EQ(Bubble()->GetBubbleBounds(), IBounds(r.MW() - 40, r.B, r.MW() + 40, r.B + 40));
  Release(r.MW(), r.MH() - 60);
}

TEST_F(TollenbrookEditor, BypassTogglesWithoutBubbleAndOversampleShowsItsText) {
  IControl* bypass = ControlFor(kParamBypass);
  const iplug::IParam& p10 = *mDelegate.GetParam(kParamBypass);
  ASSERT_EQ(p10.Value(), 1.0);
  TakeEvents();
  Click(bypass->GetRECT().MW(), bypass->GetRECT().MH());
  EXPECT_EQ(p10.Value(), 0.0);
  EXPECT_EQ(TakeHostEvents(), (std::vector<std::string>{"begin 10", "set 10 0.0000", "end 10"}));
  Click(bypass->GetRECT().MW(), bypass->GetRECT().MH());
  EXPECT_EQ(p10.Value(), 1.0);
  EXPECT_TRUE(Bubble()->IsHidden());
  EXPECT_EQ(Bubble()->GetState(), IBubbleControl::kBubbleHidden);

  IControl* over = ControlFor(kParamOversample);
  Click(over->GetRECT().MW(), over->GetRECT().MH());
  EXPECT_EQ(mDelegate.GetParam(kParamOversample)->Value(), 1.0);
  EXPECT_STREQ(Bubble()->GetString(), "Oversampling On");
  EXPECT_FALSE(Bubble()->IsHidden());
  Click(over->GetRECT().MW(), over->GetRECT().MH());
  EXPECT_STREQ(Bubble()->GetString(), "Oversampling Off");
}

TEST_F(TollenbrookEditor, EveryPressIsBracketedByHostGestures) {
  for (int i = 1; i < G().NControls(); ++i) {
    IControl* c = Control(i);
    const int p = c->GetParamIdx();
    const IBounds r = c->GetRECT();
    SCOPED_TRACE(i);
    TakeEvents();
    Press(r.MW(), r.MH());
    Drag(r.MW(), r.MH() - 10);
    Release(r.MW(), r.MH() - 10);
    const std::vector<std::string> host = TakeHostEvents();
    ASSERT_GE(host.size(), 2u);
    EXPECT_EQ(host.front(), "begin " + std::to_string(p)) << "before the control sees the press";
    EXPECT_EQ(host.back(), "end " + std::to_string(p)) << "after the control saw the release";
    EXPECT_EQ(std::count(host.begin(), host.end(), "begin " + std::to_string(p)), 1);
    EXPECT_EQ(std::count(host.begin(), host.end(), "end " + std::to_string(p)), 1);
  }
}

TEST_F(TollenbrookEditor, RightClickOnParameterControlsOpensNoGestureAndReachesNothing) {
  for (int i = 1; i < G().NControls(); ++i) {
    IControl* c = Control(i);
    const IBounds r = c->GetRECT();
    const double before = c->GetValue();
    TakeEvents();
    Press(r.MW(), r.MH(), Right());
    Drag(r.MW(), r.MH() - 20, Right());
    Release(r.MW(), r.MH() - 20, Right());
    EXPECT_EQ(c->GetValue(), before) << i;
    for (const std::string& e : TakeEvents())
      EXPECT_TRUE(e.rfind("SetMouseCursor", 0) == 0) << i << ": " << e;  // hover may move the cursor
  }
}

TEST_F(TollenbrookEditor, HostValuesNeverMoveAKnobBeingDragged) {
  IControl* knob = ControlFor(kParamGain);
  const IBounds r = knob->GetRECT();
  Press(r.MW(), r.MH());
  Drag(r.MW(), r.MH() - 100);
  const double held = knob->GetValue();
  ASSERT_GT(held, 0.0);
  const int before = mDelegate.mParamChangesInEditor;
  mDelegate.SendParamValueToEditor(kParamGain, 0.0, false);
  EXPECT_EQ(knob->GetValue(), held);
  EXPECT_EQ(mDelegate.mParamChangesInEditor, before + 1) << "the delegate still hears of it";
  Release(r.MW(), r.MH() - 100);
  mDelegate.SendParamValueToEditor(kParamGain, 0.0, false);
  EXPECT_EQ(knob->GetValue(), 0.0) << "released: host values show again";
}

TEST_F(TollenbrookEditor, MeterValuesSelectTheirNeedleFrame) {
  const unsigned seed = std::random_device{}();
  std::printf("meter seed %u\n", seed);
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> dist(-0.2, 1.2);
  std::vector<double> values = {0.0, 0.004, 0.005, 0.499, 1.0, 1.5, -0.2};
  for (int i = 0; i < 200; ++i) values.push_back(dist(rng));
  G().Frame();
  for (const int meter : {kParamLimiterMeter, kParamCompMeter}) {
    const IBounds r = ControlFor(meter)->GetRECT();
    for (const double v : values) {
      SCOPED_TRACE(v);
      mDelegate.SendParamValueToEditor(meter, v, false);
      const std::vector<DrawOp> frame = G().Frame();
      const std::vector<DrawOp> draws = BitmapDrawsAt(frame, r.L, r.T);
      const double clamped = std::clamp(v, 0.0, 1.0);
      const int expectedFrame = static_cast<int>(100 * clamped + 0.5) + 1;
      if (draws.empty()) {
        // No redraw: the value selects the frame already shown.
        continue;
      }
      EXPECT_EQ(draws.back().name, "METER.png");
      EXPECT_EQ(draws.back().srcY, (expectedFrame - 1) * 72) << "frame " << expectedFrame;
    }
  }
}

TEST_F(TollenbrookEditor, CornerDragZoomsBetweenHalfAndTwiceAndDoubleClickReturnsToOne) {
  const unsigned seed = std::random_device{}();
  std::printf("corner seed %u\n", seed);
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> px(20.f, 1600.f);
  const IBounds knobBefore = ControlFor(kParamRatio)->GetRECT();

  const float downX = 370.f, downY = 585.f;
  Press(downX, downY);
  ASSERT_TRUE(G().IsResizing());
  for (int i = 0; i < 100; ++i) {
    // The platform reports pixels divided by the zoom in force.
    const float pxX = px(rng), pxY = px(rng);
    const float d = G().GetDrawScale();
    Drag(pxX / d, pxY / d);
    const float expected = std::clamp(std::min(pxX / downX, pxY / downY), 0.5f, 2.f);
    ASSERT_NEAR(G().GetDrawScale(), expected, 1e-5) << pxX << "," << pxY;
    EXPECT_EQ(G().Width(), 378);
    EXPECT_EQ(G().Height(), 591);
  }
  const float d = G().GetDrawScale();
  Drag(1600.f / d, 1600.f / d);
  EXPECT_EQ(G().GetDrawScale(), 2.f) << "beyond twice: clamped";
  EXPECT_EQ(mDelegate.GetEditorWidth(), 756);
  EXPECT_EQ(mDelegate.GetEditorHeight(), 1182);
  G().Frame();
  Release(370.f, 585.f);
  EXPECT_FALSE(G().IsResizing());
  EXPECT_EQ(DrawnControls(G().Frame(), G()).size(), 17u) << "the end of a zoom redraws everything once";
  EXPECT_TRUE(G().Frame().empty());
  EXPECT_EQ(ControlFor(kParamRatio)->GetRECT(), knobBefore) << "controls keep their unit positions";
  // At zoom 2 the corner area is 10 units, the same 20 pixels on screen.
  EXPECT_EQ(G().GetCornerResizer()->GetRECT(), IBounds(368, 581, 378, 591));

  EXPECT_TRUE(G().OnMouseDblClick(375, 588, Left()));
  EXPECT_FLOAT_EQ(G().GetDrawScale(), 1.f);
  EXPECT_EQ(G().NCapturedPointers(), 0);
}

TEST_F(TollenbrookEditor, ResizeToTheCurrentSizeDoesNothing) {
  G().Frame();
  TakeEvents();
  G().Resize(378, 591, 1.f, true);
  EXPECT_TRUE(TakeEvents().empty());
  EXPECT_TRUE(G().Frame().empty()) << "nothing became dirty";
  G().Resize(10000, 10000, 1.f, true);
  EXPECT_EQ(G().Width(), 756) << "clamped to the largest size";
  EXPECT_EQ(G().Height(), 1182);
}

TEST_F(TollenbrookEditor, FirstFrameDrawsEverythingOnceInListOrderThenTheResizer) {
  const std::vector<DrawOp> frame = G().Frame();
  ASSERT_FALSE(frame.empty());
  EXPECT_EQ(frame.front().kind, DrawOp::kBeginFrame);
  EXPECT_EQ(frame.back().kind, DrawOp::kEndFrame);
  std::vector<std::string> expected;
  for (int i = 0; i < 16; ++i) expected.push_back("c" + std::to_string(i));
  expected.push_back("resizer");  // the bubble is hidden
  EXPECT_EQ(DrawnControls(frame, G()), expected);
  EXPECT_TRUE(G().Frame().empty()) << "everything is clean afterwards";
}

TEST_F(TollenbrookEditor, FrameDrawsEachDirtyAreaOnceWithTheBubbleOnTop) {
  G().Frame();
  // Two knobs far apart: each area gets the background and its knob.
  mDelegate.SendParamValueToEditor(kParamGain, 5, false);
  mDelegate.SendParamValueToEditor(kParamMix, 3, false);
  EXPECT_EQ(DrawnControls(G().Frame(), G()), (std::vector<std::string>{"c0", "c5", "c0", "c6"}));

  // A drag: the first bubble redraws everything; after that the bubble's area (knob and box)
  // is drawn once with whatever lies under it, the bubble last.
  IControl* knob = ControlFor(kParamRatio);
  const IBounds r = knob->GetRECT();
  Press(r.MW(), r.MH());
  Drag(r.MW(), r.MH() - 100);
  G().Frame();
  Drag(r.MW(), r.MH() - 200);
  // Under the box (above the Ratio knob) sits the "Compressor Recovery" knob (index 12).
  EXPECT_EQ(DrawnControls(G().Frame(), G()), (std::vector<std::string>{"c0", "c7", "c12", "bubble"}));
  Release(r.MW(), r.MH() - 200);
}

TEST_F(TollenbrookEditor, HoveringTheResizerRedrawsItBlackAboveTheControls) {
  G().Frame();
  EXPECT_TRUE(G().OnMouseOver(375, 588, IMouseMod()));
  const std::vector<DrawOp> frame = G().Frame();
  EXPECT_EQ(DrawnControls(frame, G()), (std::vector<std::string>{"c0", "resizer"}));
  const auto fill = std::find_if(frame.begin(), frame.end(), [](const DrawOp& op) { return op.kind == DrawOp::kFill; });
  ASSERT_NE(fill, frame.end());
  EXPECT_EQ(fill->color, kColorBlack);
  EXPECT_EQ(G().GetCursorType(), kSizeNWSE);
  G().OnMouseOver(200, 300, IMouseMod());
  EXPECT_EQ(G().GetCursorType(), kArrowPointer);
}

TEST_F(TollenbrookEditor, DirtyAreasArePixelAlignedAtTheTotalScale) {
  CloseEditor();
  mScreenScale = 1.25f;
  OpenEditor();
  G().Resize(378, 591, 1.5f, true);
  const float s = G().GetTotalScale();
  ASSERT_FLOAT_EQ(s, 1.875f);
  G().Frame();
  mDelegate.SendParamValueToEditor(kParamGain, 7, false);
  mDelegate.SendParamValueToEditor(kParamHigh, 1, false);
  int clips = 0;
  for (const DrawOp& op : G().Frame()) {
    if (op.kind != DrawOp::kClip) continue;
    ++clips;
    for (const float v : {op.rect.L, op.rect.T, op.rect.R, op.rect.B})
      EXPECT_NEAR(v * s, std::round(v * s), 1e-3) << v;
  }
  EXPECT_GE(clips, 4);
}
