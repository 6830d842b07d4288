#include <gtest/gtest.h>

#include "graphics/EditorFixture.h"
#include "graphics/IBubbleControl.h"

using namespace testgraphics;

namespace {

class Bubbles : public EditorFixture {
protected:
  void SetUp() override {
    OpenEditor();
    G().Frame();
  }
  // One platform tick at time t (ms since the test's start).
  void TickAt(double t) {
    G().mNowMs = kStart + t;
    G().Frame();
  }
  static constexpr double kStart = 1000.0;
  static constexpr float kMax = 0.95f;
};

}  // namespace

TEST_F(Bubbles, FadesInHoldsWhileHeldThenFadesOut) {
  IControl* knob = ControlFor(kParamGain);
  const IBounds r = knob->GetRECT();
  G().mNowMs = kStart;
  Press(r.MW(), r.MH());
  Drag(r.MW(), r.MH() - 20);
  IBubbleControl* b = Bubble();
  ASSERT_EQ(b->GetState(), IBubbleControl::kBubbleFadeIn);
  EXPECT_FALSE(b->IsHidden());

  TickAt(0);
  EXPECT_NEAR(b->GetOpacity(), 0.f, 1e-6);
  TickAt(100);
  EXPECT_NEAR(b->GetOpacity(), 0.5f * kMax, 1e-5) << "linear fade-in over 200 ms";
  TickAt(150);
  EXPECT_NEAR(b->GetOpacity(), 0.75f * kMax, 1e-5);
  TickAt(201);  // fade-in over: shown, the 1000 ms hold starts now
  EXPECT_EQ(b->GetState(), IBubbleControl::kBubbleShown);
  EXPECT_FLOAT_EQ(b->GetOpacity(), kMax);
  TickAt(1200);
  EXPECT_EQ(b->GetState(), IBubbleControl::kBubbleShown);
  // Held for seconds: still shown, re-checked every 200 ms.
  for (double t = 1202; t < 5000; t += 50) {
    TickAt(t);
    ASSERT_EQ(b->GetState(), IBubbleControl::kBubbleShown) << t;
    ASSERT_FLOAT_EQ(b->GetOpacity(), kMax);
  }
  Release(r.MW(), r.MH() - 20);
  double t = 5000;
  while (b->GetState() == IBubbleControl::kBubbleShown && t < 5300) TickAt(t += 10);
  ASSERT_EQ(b->GetState(), IBubbleControl::kBubbleFadeOut) << "the current period ends, then the fade starts";
  const double fadeStart = t;
  TickAt(fadeStart + 100);
  EXPECT_NEAR(b->GetOpacity(), 0.5f * kMax, 1e-5);
  TickAt(fadeStart + 201);
  EXPECT_EQ(b->GetState(), IBubbleControl::kBubbleHidden);
  EXPECT_TRUE(b->IsHidden());
  EXPECT_EQ(b->GetOpacity(), 0.f);
  EXPECT_FALSE(b->HasAnimation());
}

TEST_F(Bubbles, ShortTurnStaysAtLeastTheHoldTime) {
  IControl* knob = ControlFor(kParamGain);
  const IBounds r = knob->GetRECT();
  G().mNowMs = kStart;
  Press(r.MW(), r.MH());
  Drag(r.MW(), r.MH() - 20);
  Release(r.MW(), r.MH() - 20);
  IBubbleControl* b = Bubble();
  double shownAt = -1;
  for (double t = 0; t <= 3000; t += 5) {
    TickAt(t);
    if (shownAt < 0 && b->GetState() == IBubbleControl::kBubbleShown) shownAt = t;
    if (b->GetState() == IBubbleControl::kBubbleFadeOut) {
      ASSERT_GE(shownAt, 0);
      EXPECT_GE(t - shownAt, 1000.0) << "never fades before 1000 ms fully shown";
      EXPECT_LE(t - shownAt, 1000.0 + 10.0);
      return;
    }
  }
  FAIL() << "the bubble never faded out";
}

TEST_F(Bubbles, IsDrawnOnTopWithTheValueTextAndFadingOpacity) {
  IControl* knob = ControlFor(kParamRatio);
  const IBounds r = knob->GetRECT();
  G().mNowMs = kStart;
  Press(r.MW(), r.MH());
  Drag(r.MW(), r.MH() - 100);
  G().mNowMs = kStart + 100;
  const std::vector<DrawOp> frame = G().Frame();
  ASSERT_GE(frame.size(), 3u);
  const DrawOp* text = nullptr;
  for (const DrawOp& op : frame)
    if (op.kind == DrawOp::kText) text = &op;
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->name, "4:1");
  EXPECT_NEAR(text->weight, 0.5f * kMax, 1e-5);
  // The text sits in the body: the bubble box less its 10-unit shadow margin.
  const IBounds box = Bubble()->GetBubbleBounds();
  EXPECT_EQ(text->rect, IBounds(box.L + 10, box.T + 10, box.R - 10, box.B - 10));
  Release(r.MW(), r.MH() - 100);
}

TEST_F(Bubbles, MovingToAnotherKnobRedrawsTheWholeEditorOnce) {
  IControl* gain = ControlFor(kParamGain);
  IControl* mix = ControlFor(kParamMix);
  Press(gain->GetRECT().MW(), gain->GetRECT().MH());
  Drag(gain->GetRECT().MW(), gain->GetRECT().MH() - 20);
  Release(gain->GetRECT().MW(), gain->GetRECT().MH() - 20);
  G().Frame();
  Press(mix->GetRECT().MW(), mix->GetRECT().MH());
  Drag(mix->GetRECT().MW(), mix->GetRECT().MH() + 30);
  EXPECT_EQ(Bubble()->GetCaller(), mix);
  const IBounds r = mix->GetRECT();
  EXPECT_EQ(Bubble()->GetBubbleBounds(), IBounds(r.MW() - 40, r.T - 40, r.MW() + 40, r.T));
  const std::vector<DrawOp> frame = G().Frame();
  int clips = 0;
  for (const DrawOp& op : frame) clips += op.kind == DrawOp::kClip;
  EXPECT_GE(clips, 17) << "every control once";
  Drag(mix->GetRECT().MW(), mix->GetRECT().MH() + 60);
  int later = 0;
  for (const DrawOp& op : G().Frame()) later += op.kind == DrawOp::kClip;
  EXPECT_LT(later, 10) << "the same caller: only its area";
  Release(mix->GetRECT().MW(), mix->GetRECT().MH() + 60);
}

TEST_F(Bubbles, EmptyTextStillMakesABox) {
  IControl* knob = ControlFor(kParamGain);
  G().ShowBubbleControl(knob, 100, 300, "", kBubbleVertical, IBounds());
  EXPECT_EQ(Bubble()->GetBubbleBounds(), IBounds(100 - 15, 300 - 20, 100 + 15, 300));
}

TEST_F(Bubbles, HorizontalBubblesGoRightOrLeftOfThePoint) {
  IControl* knob = ControlFor(kParamMix);
  G().ShowBubbleControl(knob, 100, 300, "abcd", kBubbleHorizontal, IBounds());
  // "abcd" measures 28 x 14: the box is 28 + 30 wide, 14 + 20 high, to the right of x.
  EXPECT_EQ(Bubble()->GetBubbleBounds(), IBounds(100, 283, 158, 317));
  EXPECT_EQ(Bubble()->GetTailSide(), IBubbleControl::kTailLeft);
  G().ShowBubbleControl(knob, 360, 300, "abcd", kBubbleHorizontal, IBounds());
  EXPECT_EQ(Bubble()->GetBubbleBounds(), IBounds(knob->GetRECT().L - 58, 283, knob->GetRECT().L, 317));
  EXPECT_EQ(Bubble()->GetTailSide(), IBubbleControl::kTailRight);
}

TEST_F(Bubbles, MultiTouchGivesEachPointerItsOwnBubble) {
  G().EnableMultiTouch(true);
  G().AttachBubbleControl();
  IControl* gain = ControlFor(kParamGain);
  IControl* mix = ControlFor(kParamMix);
  auto touch = [&](IControl* c, int64_t id, float dy) {
    IMouseState s{c->GetRECT().MW(), c->GetRECT().MH() + dy, 0, dy, Left()};
    s.ms.mTouchID = id;
    return s;
  };
  G().OnMouseDown({touch(gain, 7, 0), touch(mix, 9, 0)});
  G().OnMouseDrag({touch(gain, 7, -10), touch(mix, 9, -10)});
  IBubbleControl* b0 = G().GetBubbleControl(0);
  IBubbleControl* b1 = G().GetBubbleControl(1);
  ASSERT_NE(b0->GetTouchID(), b1->GetTouchID());
  IBubbleControl* gainBubble = b0->GetTouchID() == 7 ? b0 : b1;
  IBubbleControl* mixBubble = gainBubble == b0 ? b1 : b0;
  EXPECT_EQ(gainBubble->GetCaller(), gain);
  EXPECT_EQ(mixBubble->GetCaller(), mix);
  G().OnMouseDrag({touch(gain, 7, -20)});
  EXPECT_EQ(gainBubble->GetCaller(), gain) << "a pointer keeps its bubble";
  EXPECT_EQ(mixBubble->GetCaller(), mix);
  // A caller held by two pointers shows no bubble.
  gain->SetWantsMultiTouch(true);
  const std::string before = gainBubble->GetString();
  G().OnMouseDown({touch(gain, 11, 0)});
  G().ShowBubbleControl(gain, 0, 0, "x", kBubbleVertical, IBounds());
  EXPECT_EQ(gainBubble->GetString(), before);
}
