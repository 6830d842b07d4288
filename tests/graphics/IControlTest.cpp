#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "graphics/EditorFixture.h"
#include "graphics/IBitmapControl.h"

using namespace testgraphics;

namespace {

// A control that writes its input into a log.
class LogControl : public IControl {
public:
  LogControl(const IBounds& r, std::vector<std::string>* log, int paramIdx = kNoParameter)
      : IControl(r, paramIdx), mLog(log) {}
  LogControl(const IBounds& r, std::vector<std::string>* log, std::initializer_list<int> params)
      : IControl(r, params), mLog(log) {}
  void Draw(IGraphics&) override { mLog->push_back("draw"); }
  void OnMouseDown(float, float, const IMouseMod& mod) override { mLog->push_back(mod.R ? "rdown" : "down"); }
  void OnMouseUp(float, float, const IMouseMod&) override { mLog->push_back("up"); }
  void OnMouseDrag(float, float, float dX, float dY, const IMouseMod&) override {
    mLog->push_back("drag " + std::to_string(static_cast<int>(dX)) + " " + std::to_string(static_cast<int>(dY)));
  }
  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override {
    mLog->push_back("dbl");
    IControl::OnMouseDblClick(x, y, mod);
  }
  bool OnKeyDown(float, float, const IKeyPress& key) override {
    mLog->push_back(std::string("key ") + key.utf8);
    return true;
  }
  void OnMouseWheel(float, float, const IMouseMod&, float d) override {
    mLog->push_back("wheel " + std::to_string(static_cast<int>(d)));
  }
  void OnMouseOver(float x, float y, const IMouseMod& mod) override {
    if (!mMouseIsOver) mLog->push_back("over");
    IControl::OnMouseOver(x, y, mod);
  }
  void OnMouseOut() override {
    if (mMouseIsOver) mLog->push_back("out");
    IControl::OnMouseOut();
  }
  void OnDrop(const char* str) override { mLog->push_back(std::string("drop ") + str); }
  void OnTextEntryCompletion(const char* str, int valIdx) override {
    mLog->push_back(std::string("text ") + str + " " + std::to_string(valIdx));
  }
  void OnContextSelection(int idx) override { mLog->push_back("context " + std::to_string(idx)); }
  void CreateContextMenu(IPopupMenu& menu) override {
    if (mContextItems) {
      menu.AddItem("Copy");
      menu.AddItem("Paste");
    }
  }
  bool mContextItems = false;

private:
  std::vector<std::string>* mLog;
};

// A graphics context with the product's parameters and no layout.
class ControlHarness : public ::testing::Test {
protected:
  ControlHarness() : mGraphics(mDelegate, 378, 591, 60, 1.f, &mEvents) {}

  template <typename T>
  T* Attach(T* control) {
    mGraphics.AttachControl(control);
    return control;
  }
  void Press(float x, float y, IMouseMod mod, int64_t touch = 0) {
    mod.mTouchID = touch;
    IMouseState s{x, y, 0, 0, mod};
    mGraphics.OnMouseDown({s});
  }
  void Release(float x, float y, IMouseMod mod, int64_t touch = 0) {
    mod.mTouchID = touch;
    IMouseState s{x, y, 0, 0, mod};
    mGraphics.OnMouseUp({s});
  }
  void Drag(float x, float y, float dX, float dY, int64_t touch = 0) {
    IMouseMod mod;
    mod.L = true;
    mod.mTouchID = touch;
    IMouseState s{x, y, dX, dY, mod};
    mGraphics.OnMouseDrag({s});
  }
  static IMouseMod Left() {
    IMouseMod m;
    m.L = true;
    return m;
  }
  std::vector<std::string> Take(std::vector<std::string>& v) {
    std::vector<std::string> out;
    out.swap(v);
    return out;
  }

  std::vector<std::string> mEvents;  // host and platform
  std::vector<std::string> mLog;     // controls
  TestDelegate mDelegate{&mEvents};
  RecordingGraphics mGraphics;
};

}  // namespace

TEST_F(ControlHarness, SetDirtyClampsAndReportsToDelegatePeersAndAction) {
  auto* a = Attach(new LogControl(IBounds(0, 0, 10, 10), &mLog, kParamGain));
  auto* peer = Attach(new LogControl(IBounds(20, 0, 30, 10), &mLog, kParamGain));
  int actions = 0;
  a->SetActionFunction([&](IControl* c) {
    ++actions;
    EXPECT_EQ(c, a);
  });
  a->SetValue(1.3);
  a->SetDirty(true);
  EXPECT_EQ(a->GetValue(), 1.0);
  EXPECT_EQ(peer->GetValue(), 1.0);
  EXPECT_EQ(mDelegate.GetParam(kParamGain)->Value(), 20.0);
  EXPECT_EQ(actions, 1);
  a->SetValue(-0.2);
  a->SetDirty(true);
  EXPECT_EQ(a->GetValue(), 0.0);
  EXPECT_EQ(Take(mEvents), (std::vector<std::string>{"set 2 1.0000", "set 2 0.0000"}));
  a->SetValue(std::nan(""));
  a->SetDirty(false);
  EXPECT_EQ(a->GetValue(), 0.0) << "not a number is never kept";
  EXPECT_EQ(actions, 2);
  EXPECT_TRUE(Take(mEvents).empty()) << "SetDirty(false) reports nothing";
}

TEST_F(ControlHarness, MultiValueControlsReportEveryBoundValueAndNeverPrompt) {
  auto* c = Attach(new LogControl(IBounds(0, 0, 10, 10), &mLog, {kParamHigh, kNoParameter, kParamMid}));
  c->DisablePrompt(false);
  EXPECT_EQ(c->NVals(), 3);
  EXPECT_EQ(c->GetValIdxForPos(5, 5), kNoValIdx);
  c->SetValue(0.25, 0);
  c->SetValue(0.5, 1);
  c->SetValue(0.75, 2);
  c->SetDirty(true);
  EXPECT_EQ(Take(mEvents), (std::vector<std::string>{"set 5 0.2500", "set 6 0.7500"}));
  mGraphics.OnMouseDblClick(5, 5, Left());
  EXPECT_TRUE(Take(mEvents).empty()) << "no value index: no prompt";
  EXPECT_EQ(c->GetValIdxForParam(kParamMid), 2);
  EXPECT_EQ(c->GetValIdxForParam(kParamGain), kNoValIdx);
}

TEST_F(ControlHarness, HostValuesRedrawOnlyWhenTheyDiffer) {
  auto* c = Attach(new LogControl(IBounds(0, 0, 10, 10), &mLog, kParamGain));
  mGraphics.SetAllControlsClean();
  c->SetValueFromDelegate(0.0);
  EXPECT_FALSE(c->IsDirty()) << "same value: no redraw";
  c->SetValueFromDelegate(0.5);
  EXPECT_TRUE(c->IsDirty());
  mGraphics.SetAllControlsClean();
  c->SetValueFromDelegate(std::nan(""));
  EXPECT_TRUE(c->IsDirty()) << "NaN differs, and is clamped away";
  EXPECT_EQ(c->GetValue(), 0.0);
  EXPECT_TRUE(Take(mEvents).empty()) << "host values are never sent back";
}

TEST_F(ControlHarness, HitTestingIsHalfOpenAndSkipsHiddenDisabledAndIgnoringControls) {
  auto* a = Attach(new LogControl(IBounds(0, 0, 10, 10), &mLog));
  auto* b = Attach(new LogControl(IBounds(5, 5, 15, 15), &mLog));
  EXPECT_EQ(mGraphics.GetMouseControl(7, 7, false), b) << "the last attached is on top";
  EXPECT_EQ(mGraphics.GetMouseControl(15, 7, false), nullptr) << "the right edge is outside";
  b->Hide(true);
  EXPECT_EQ(mGraphics.GetMouseControl(7, 7, false), a);
  b->Hide(false);
  b->SetDisabled(true);
  EXPECT_EQ(b->GetBlend().mWeight, 0.25f);
  EXPECT_EQ(mGraphics.GetMouseControl(7, 7, false), a);
  b->SetMouseEventsWhenDisabled(true);
  EXPECT_EQ(mGraphics.GetMouseControl(7, 7, false), b);
  b->SetDisabled(false);
  EXPECT_EQ(b->GetBlend().mWeight, 1.f);
  b->SetIgnoreMouse(true);
  EXPECT_EQ(mGraphics.GetMouseControl(7, 7, false), a);
  a->SetTargetRECT(IBounds());
  EXPECT_FALSE(a->IsHit(0, 0)) << "an empty target is never hit";
}

TEST_F(ControlHarness, PositionAndSizeMoveBothRectangles) {
  auto* c = Attach(new LogControl(IBounds(10, 10, 30, 20), &mLog));
  c->SetTargetRECT(IBounds(12, 12, 28, 18));
  c->SetPosition(-5, 40);
  EXPECT_EQ(c->GetRECT(), IBounds(0, 40, 20, 50)) << "clamped to the editor's corner";
  EXPECT_EQ(c->GetTargetRECT(), IBounds(2, 42, 18, 48));
  c->SetSize(-1, 7);
  EXPECT_EQ(c->GetRECT(), IBounds(0, 40, 0, 47));
  EXPECT_EQ(c->GetTargetRECT(), c->GetRECT());
}

TEST_F(ControlHarness, BackgroundIsDrawnEvenWhenHiddenButNeverHoveredNorKeyed) {
  mGraphics.AttachBackground("BG.png");
  auto* c = Attach(new LogControl(IBounds(100, 100, 120, 120), &mLog));
  mGraphics.EnableMouseOver(true);
  mGraphics.GetControl(0)->Hide(true);
  c->Hide(true);
  const std::vector<DrawOp> frame = mGraphics.Frame();
  EXPECT_EQ(std::count_if(frame.begin(), frame.end(), [](const DrawOp& op) { return op.kind == DrawOp::kBitmap; }),
            1);
  EXPECT_TRUE(mLog.empty()) << "a hidden control is not drawn";
  EXPECT_FALSE(mGraphics.OnMouseOver(5, 5, IMouseMod()));
  EXPECT_EQ(mGraphics.GetMouseOverIdx(), -1);
  EXPECT_FALSE(mGraphics.OnKeyDown(5, 5, IKeyPress("a", 'A')));
  c->Hide(false);
  EXPECT_TRUE(mGraphics.OnKeyDown(105, 105, IKeyPress("a", 'A')));
  EXPECT_EQ(Take(mLog), (std::vector<std::string>{"key a"}));
  // The background still takes clicks where nothing is above it.
  mGraphics.GetControl(0)->Hide(false);
  EXPECT_EQ(mGraphics.GetMouseControl(5, 5, false), mGraphics.GetControl(0));
}

TEST_F(ControlHarness, DrawWithNoAreasStartsNoFrame) {
  Attach(new LogControl(IBounds(0, 0, 10, 10), &mLog));
  IRectList none;
  mGraphics.Draw(none);
  EXPECT_TRUE(mGraphics.mOps.empty());
}

TEST_F(ControlHarness, HoverFollowsThePointerAndLeavingClearsIt) {
  mGraphics.EnableMouseOver(true);
  std::vector<std::string> bgLog;
  Attach(new LogControl(IBounds(0, 0, 378, 591), &bgLog));  // index 0: never hovered
  auto* a = Attach(new LogControl(IBounds(0, 0, 10, 10), &mLog));
  Attach(new LogControl(IBounds(20, 0, 30, 10), &mLog));
  EXPECT_TRUE(mGraphics.OnMouseOver(5, 5, IMouseMod()));
  EXPECT_EQ(mGraphics.GetMouseOverControl(), a);
  EXPECT_EQ(mGraphics.GetMouseOverIdx(), 1);
  mGraphics.OnMouseOver(6, 6, IMouseMod());
  mGraphics.OnMouseOver(25, 5, IMouseMod());
  EXPECT_EQ(mGraphics.GetMouseOverIdx(), 2);
  EXPECT_FALSE(mGraphics.OnMouseOver(100, 100, IMouseMod())) << "over the first control only";
  EXPECT_EQ(mGraphics.GetMouseOverIdx(), -1);
  mGraphics.OnMouseOut();
  EXPECT_EQ(mGraphics.GetMouseOverControl(), nullptr);
  EXPECT_EQ(Take(mLog), (std::vector<std::string>{"over", "out", "over", "out"}));
  EXPECT_TRUE(bgLog.empty());
  mGraphics.EnableMouseOver(false);
  EXPECT_FALSE(mGraphics.OnMouseOver(5, 5, IMouseMod())) << "hover tracking off";
}

TEST_F(ControlHarness, DragsWithoutMovementAreNotForwardedAndReleasedPointersAreIgnored) {
  Attach(new LogControl(IBounds(0, 0, 10, 10), &mLog, kParamGain));
  Drag(5, 5, 1, 1);
  EXPECT_TRUE(mLog.empty()) << "nothing captured";
  Press(5, 5, Left());
  Drag(5, 5, 0, 0);
  Drag(50, 50, 3, -2);  // captured: reaches the control wherever the pointer is
  Release(50, 50, Left());
  Drag(6, 6, 1, 1);
  EXPECT_EQ(Take(mLog), (std::vector<std::string>{"down", "drag 3 -2", "up"}));
  EXPECT_EQ(Take(mEvents), (std::vector<std::string>{"begin 2", "end 2"}));
}

TEST_F(ControlHarness, WheelAndDropGoToTheControlUnderThePointerWithoutGestures) {
  Attach(new LogControl(IBounds(0, 0, 10, 10), &mLog, kParamGain));
  mGraphics.OnMouseWheel(5, 5, IMouseMod(), 2);
  mGraphics.OnMouseWheel(50, 50, IMouseMod(), 2);
  mGraphics.OnDrop("file.wav", 5, 5);
  EXPECT_EQ(Take(mLog), (std::vector<std::string>{"wheel 2", "drop file.wav"}));
  EXPECT_TRUE(Take(mEvents).empty());
}

TEST_F(ControlHarness, SecondPointerWithoutMultiTouchIsCapturedToTheSameControl) {
  auto* c = Attach(new LogControl(IBounds(0, 0, 10, 10), &mLog, kParamGain));
  Press(5, 5, Left(), 1);
  Press(6, 6, Left(), 2);
  EXPECT_EQ(mGraphics.GetCapturedControl(2), c);
  mGraphics.EnableMultiTouch(true);
  Press(7, 7, Left(), 3);
  EXPECT_EQ(mGraphics.GetCapturedControl(3), nullptr) << "with multi-touch a held control refuses others";
  c->SetWantsMultiTouch(true);
  Press(7, 7, Left(), 3);
  EXPECT_EQ(mGraphics.GetCapturedControl(3), c);
  float x = 0, y = 0;
  mGraphics.GetMouseDownPoint(x, y);
  EXPECT_EQ(x, 7) << "single-pointer presses record their position";
  IMouseState two[2] = {{1, 1, 0, 0, Left()}, {2, 2, 0, 0, Left()}};
  two[0].ms.mTouchID = 4;
  two[1].ms.mTouchID = 5;
  mGraphics.OnMouseDown({two[0], two[1]});
  mGraphics.GetMouseDownPoint(x, y);
  EXPECT_EQ(x, 7) << "a press of several pointers does not";
}

TEST_F(ControlHarness, RightClickOffersTheContextMenuOfAParameterControl) {
  auto* c = Attach(new LogControl(IBounds(0, 0, 10, 10), &mLog, kParamGain));
  Press(5, 5, IMouseMod{false, true});
  EXPECT_TRUE(mLog.empty());
  EXPECT_TRUE(Take(mEvents).empty()) << "no items: no menu, no gesture";
  c->mContextItems = true;
  mGraphics.mNextPopupChoice = 1;
  Press(5, 5, IMouseMod{false, true});
  EXPECT_EQ(mGraphics.mLastPopup.NItems(), 2);
  EXPECT_EQ(mGraphics.mLastPopupBounds, IBounds(5, 5, 5, 5));
  EXPECT_EQ(Take(mLog), (std::vector<std::string>{"context 1"}));
  EXPECT_EQ(Take(mEvents), (std::vector<std::string>{"PopupMenu "}));
  // A control without a parameter gets the right click itself.
  Attach(new LogControl(IBounds(20, 0, 30, 10), &mLog));
  Press(25, 5, IMouseMod{false, true});
  EXPECT_EQ(Take(mLog), (std::vector<std::string>{"rdown"}));
}

namespace {
class FakeViewContainer : public IHostViewContainer {
public:
  int32_t GetModifiers(uint32_t* modifiers) override {
    *modifiers = 0x100;
    return 0;
  }
  int32_t HandleParameterMouseDown(const char* paramID, uint32_t modifiers) override {
    calls.push_back(std::string(paramID) + " " + std::to_string(modifiers));
    return takeIt ? 0 : 1;
  }
  int32_t SetViewSize(float, float) override { return 0; }
  std::vector<std::string> calls;
  bool takeIt = true;
};
}  // namespace

TEST_F(ControlHarness, TheHostCanTakeAClickOnAParameterControl) {
  Attach(new LogControl(IBounds(0, 0, 10, 10), &mLog, kParamRatio));
  Attach(new LogControl(IBounds(20, 0, 30, 10), &mLog));
  FakeViewContainer host;
  mGraphics.SetViewContainer(&host);
  IMouseMod mod = Left();
  mod.S = true;
  mod.A = true;
  mod.C = true;
  Press(5, 5, mod);
  EXPECT_EQ(host.calls, std::vector<std::string>{"5 269"}) << "identifier index + 1; host bits | 1 | 4 | 8";
  EXPECT_TRUE(mLog.empty()) << "the control never sees it";
  EXPECT_EQ(mGraphics.NCapturedPointers(), 0);
  EXPECT_TRUE(Take(mEvents).empty());
  Press(25, 5, Left());
  EXPECT_EQ(host.calls.size(), 1u) << "controls without a parameter are not offered";
  Release(25, 5, Left());
  host.takeIt = false;
  Press(5, 5, IMouseMod{false, true});
  EXPECT_EQ(host.calls.back(), "5 272") << "right button 16";
  Press(5, 5, Left());
  EXPECT_EQ(Take(mLog), (std::vector<std::string>{"down", "up", "down"})) << "declined: the click proceeds";
}

TEST_F(ControlHarness, DoubleClicksGoToTheControlAndDropCaptures) {
  Attach(new LogControl(IBounds(0, 0, 10, 10), &mLog, kParamGain));
  Press(5, 5, Left());
  Release(5, 5, Left());
  EXPECT_TRUE(mGraphics.OnMouseDblClick(5, 5, Left()));
  EXPECT_EQ(mGraphics.NCapturedPointers(), 0);
  EXPECT_FALSE(mGraphics.OnMouseDblClick(200, 200, Left()));
  Release(5, 5, Left());
  EXPECT_EQ(Take(mLog), (std::vector<std::string>{"down", "up", "dbl"}));
  EXPECT_EQ(Take(mEvents), (std::vector<std::string>{"begin 2", "end 2"})) << "a double click opens no gesture";
}

TEST_F(ControlHarness, EnumeratedParametersPromptWithAMenuOfTheirTexts) {
  // A meter channel has no kind yet, so it can become an enumerated parameter here.
  mDelegate.GetParam(kParamLimiterMeter)->InitEnum("Mode", 1, 3, "", 0, "", "Soft", "Medium", "Hard");
  auto* c = Attach(new LogControl(IBounds(0, 0, 10, 10), &mLog, kParamLimiterMeter));
  c->DisablePrompt(false);
  c->SetValueFromDelegate(0.5);
  mGraphics.mNextPopupChoice = 2;
  mGraphics.OnMouseDblClick(5, 5, Left());
  const IPopupMenu& menu = mGraphics.mLastPopup;
  ASSERT_EQ(menu.NItems(), 3);
  EXPECT_STREQ(menu.GetTitle(), "Mode");
  EXPECT_STREQ(menu.GetItemText(1), "Medium");
  EXPECT_TRUE(menu.IsItemChecked(1));
  EXPECT_FALSE(menu.IsItemChecked(2));
  EXPECT_EQ(mGraphics.mLastPopupBounds, IBounds(0, 0, 10, 10)) << "texts: the control's rectangle";
  EXPECT_EQ(c->GetValue(), 1.0);
  EXPECT_EQ(mDelegate.GetParam(kParamLimiterMeter)->Value(), 2.0);

  // Asynchronous menus deliver later; no choice leaves the value alone.
  mGraphics.mPopupAsync = true;
  mGraphics.OnMouseDblClick(5, 5, Left());
  EXPECT_EQ(mGraphics.GetControlInPopupMenu(), c);
  mGraphics.SetControlValueAfterPopupMenu(nullptr);
  EXPECT_EQ(c->GetValue(), 1.0);
  EXPECT_EQ(mGraphics.GetControlInPopupMenu(), nullptr);
}

TEST_F(ControlHarness, OtherParametersPromptWithTextEntry) {
  mDelegate.GetParam(kParamExtSidechain)->InitDouble("Level", 3.5, 0, 10, 0.5, "dB");
  auto* c = Attach(new LogControl(IBounds(0, 0, 100, 100), &mLog, kParamExtSidechain));
  c->DisablePrompt(false);
  c->SetPromptShowsParamLabel(true);
  c->SetValueFromDelegate(0.35);
  mGraphics.OnMouseDblClick(5, 5, Left());
  EXPECT_EQ(mGraphics.mLastTextEntry, "3.5 dB");
  EXPECT_EQ(Take(mEvents), std::vector<std::string>{"TextEntry 11 7 3.5 dB"});
  mGraphics.SetControlValueAfterTextEdit("7");
  EXPECT_EQ(mDelegate.GetParam(kParamExtSidechain)->Value(), 7.0);
  EXPECT_EQ(mGraphics.GetControlInTextEntry(), nullptr);
  mGraphics.SetControlValueAfterTextEdit("9");
  EXPECT_EQ(mDelegate.GetParam(kParamExtSidechain)->Value(), 7.0) << "no entry pending";
}

TEST_F(ControlHarness, TextEntryOfADisplayTextSetsItsValue) {
  auto* c = Attach(new LogControl(IBounds(0, 0, 100, 100), &mLog, kParamMix));
  mGraphics.CreateTextEntry(*c, c->GetText(), c->GetRECT(), "", 0);
  mGraphics.SetControlValueAfterTextEdit("50/50");
  EXPECT_EQ(mDelegate.GetParam(kParamMix)->Value(), 11.0);
  mGraphics.CreateTextEntry(*c, c->GetText(), c->GetRECT(), "", kNoValIdx);
  mGraphics.SetControlValueAfterTextEdit("hello");
  EXPECT_EQ(Take(mLog), (std::vector<std::string>{"text hello -1"}));
}

TEST_F(ControlHarness, PromptsAreSuppressedByDefault) {
  Attach(new LogControl(IBounds(0, 0, 10, 10), &mLog, kParamRatio));
  mGraphics.OnMouseDblClick(5, 5, Left());
  EXPECT_TRUE(Take(mEvents).empty());
}

TEST_F(ControlHarness, ClosingTheEditorClosesGesturesStillOpen) {
  auto* c = Attach(new LogControl(IBounds(0, 0, 10, 10), &mLog, kParamRatio));
  (void)c;
  Press(5, 5, Left());
  EXPECT_EQ(Take(mEvents), std::vector<std::string>{"begin 4"});
  mGraphics.RemoveAllControls();
  EXPECT_EQ(Take(mEvents), std::vector<std::string>{"end 4"}) << "the host is never left in a touch";
  EXPECT_EQ(mGraphics.NControls(), 0);
}

TEST_F(ControlHarness, AResizeDuringADragClosesItsGesture) {
  Attach(new LogControl(IBounds(0, 0, 10, 10), &mLog, kParamRatio));
  Press(5, 5, Left());
  Take(mEvents);
  mGraphics.Resize(400, 600, 1.f, true);
  const std::vector<std::string> events = Take(mEvents);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front(), "end 4");
  Release(5, 5, Left());
  EXPECT_TRUE(Take(mEvents).empty()) << "no second end";
}

TEST_F(ControlHarness, AModalDialogReleasesThePointerAndItsGesture) {
  Attach(new LogControl(IBounds(0, 0, 10, 10), &mLog, kParamRatio));
  Press(5, 5, Left());
  mGraphics.HideMouseCursor(true, true);
  Take(mEvents);
  mGraphics.ReleaseMouseCapture();
  EXPECT_EQ(Take(mEvents), (std::vector<std::string>{"end 4", "HideMouseCursor 01"})) << "shown, unlocked";
  EXPECT_EQ(mGraphics.NCapturedPointers(), 0);
  EXPECT_FALSE(mGraphics.IsCursorHidden());
  Release(5, 5, Left());
  EXPECT_TRUE(Take(mEvents).empty()) << "the release after the dialog closes nothing twice";
}

TEST_F(ControlHarness, StrictDrawingPaintsTheUnionOfTheDirtyAreas) {
  mGraphics.AttachPanelBackground(kColorGrey);
  Attach(new LogControl(IBounds(10, 10, 20, 20), &mLog));
  Attach(new LogControl(IBounds(100, 100, 110, 110), &mLog));
  mGraphics.Frame();
  mGraphics.SetStrictDrawing(true);
  mGraphics.GetControl(1)->SetDirty(false);
  mGraphics.GetControl(2)->SetDirty(false);
  std::vector<IBounds> clips;
  for (const DrawOp& op : mGraphics.Frame())
    if (op.kind == DrawOp::kClip) clips.push_back(op.rect);
  // One area from (9, 9) to (111, 111): the panel clipped to it, then both controls.
  ASSERT_EQ(clips.size(), 3u);
  EXPECT_EQ(clips[0], IBounds(9, 9, 111, 111));
  EXPECT_EQ(clips[1], IBounds(9, 9, 21, 21));
  EXPECT_EQ(clips[2], IBounds(99, 99, 111, 111));
  EXPECT_EQ(mGraphics.GetMouseControl(50, 50, false), nullptr) << "the panel ignores the pointer";
}

TEST_F(ControlHarness, SnapToMouseMapsThePositionToAValue) {
  auto* c = Attach(new LogControl(IBounds(0, 0, 100, 200), &mLog, kParamGain));
  c->SnapToMouse(0, 50, kVertical, c->GetRECT());
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.75);
  EXPECT_EQ(mDelegate.GetParam(kParamGain)->Value(), 15.0);
  c->SnapToMouse(33.3333f, 500, kHorizontal, c->GetRECT());
  EXPECT_NEAR(c->GetValue(), 0.333, 1e-12) << "to the nearest thousandth";
  c->SnapToMouse(-40, 0, kHorizontal, c->GetRECT(), kNoValIdx, 0.2, 0.8);
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.2);
}

TEST_F(ControlHarness, DefaultValuesComeFromTheParameters) {
  auto* c = Attach(new LogControl(IBounds(0, 0, 10, 10), &mLog, {kParamMix, kNoParameter, kParamHighPass}));
  c->SetValue(0.3, 0);
  c->SetValue(0.6, 1);
  c->SetValue(0.9, 2);
  c->SetValueToDefault();
  EXPECT_DOUBLE_EQ(c->GetValue(0), 1.0);
  EXPECT_DOUBLE_EQ(c->GetValue(1), 0.6) << "unbound values keep theirs";
  EXPECT_DOUBLE_EQ(c->GetValue(2), 0.0);
  EXPECT_EQ(Take(mEvents), (std::vector<std::string>{"set 3 1.0000", "set 7 0.0000"}));
}
