// The product's editor in a real host window, played only with real window messages: knob
// drags through the host's automation, fine adjustment, the wheel, switch clicks and double
// clicks, the corner resizer, the cursor, and keys passed on to the host.
#include <gtest/gtest.h>

#include "graphics/win/WinInclude.h"

#include <cmath>
#include <string>
#include <vector>

#include "graphics/IBubbleControl.h"
#include "graphics/IControl.h"
#include "product/TollenbrookParams.h"
#include "tests/graphics/win/HostedEditor.h"
#include "tests/graphics/win/WindowInput.h"

namespace tbtest {
namespace {

using namespace wintest;

// One editor serves the whole suite; each case leaves it at zoom 1 with nothing held.
class EditorInput : public HostedEditor {
protected:
  static void SetUpTestSuite() { ShareAcrossSuite(); }
  static void TearDownTestSuite() { EndSharing(); }
  void SetUp() override {
    HostedEditor::SetUp();
    if (!Win() || !Win()->WindowIsOpen()) {
      ASSERT_TRUE(OpenView()) << (Win() ? Win()->GetOpenError() : "no editor");
    }
    mEditor = ChildWindow();
    ASSERT_EQ(Win()->NCapturedPointers(), 0);
    mLog.Clear();
  }
  // The host sets a parameter (its identifier is its index + 1); the editor follows on its tick.
  void HostSets(int paramIdx, double normalized) {
    Plug().SetParameterNormalizedValue(std::to_string(paramIdx + 1).c_str(), normalized);
    ASSERT_TRUE(PumpUntil([&] { return ControlFor(paramIdx)->GetValue() == normalized; }));
  }

  igraphics::IControl* ControlFor(int paramIdx) const {
    auto* g = const_cast<EditorInput*>(this)->Win();
    for (int i = 0; i < g->NControls(); ++i)
      if (g->GetControl(i)->GetParamIdx(0) == paramIdx) return g->GetControl(i);
    return nullptr;
  }
  // Client pixels of a control's centre (the editor opens at scale 1).
  POINT Centre(int paramIdx) const {
    const igraphics::IBounds& r = ControlFor(paramIdx)->GetRECT();
    return POINT{static_cast<LONG>(r.MW()), static_cast<LONG>(r.MH())};
  }
  double Value(int paramIdx) { return Plug().GetParam(paramIdx)->Value(); }
  // A vertical drag of the knob by `up` pixels in moves of at most 10 pixels. While the knob
  // is held the cursor is locked where the press was, so every move starts from there.
  void DragKnob(int paramIdx, int up, WPARAM keys = 0) {
    const POINT c = Centre(paramIdx);
    Press(mEditor, c.x, c.y, keys);
    for (int done = 0; done < up;) {
      const int step = std::min(10, up - done);
      DragTo(mEditor, c.x, c.y - step, keys);
      done += step;
    }
    Release(mEditor, c.x, c.y, keys);
  }
  // The automation calls for one host parameter identifier, as "PostTouchRequest" ...
  std::vector<std::string> AutomationCalls(const std::string& id) {
    std::vector<std::string> names;
    for (const aaxhost::Call& call : mLog.Calls())
      if (call.name.rfind("Post", 0) == 0 && call.name != "PostCurrentValue" && !call.args.empty() &&
          call.args[0] == id)
        names.push_back(call.name);
    return names;
  }

  HWND mEditor = nullptr;
};

// A press's gesture as the host's automation delegate sees it: the touch of the press, each
// value change (a parameter touches and releases itself around its own set-value request),
// the release of the press.
std::vector<std::string> Gesture(int setValues) {
  std::vector<std::string> calls{"PostTouchRequest"};
  for (int i = 0; i < setValues; ++i)
    calls.insert(calls.end(), {"PostTouchRequest", "PostSetValueRequest", "PostReleaseRequest"});
  calls.push_back("PostReleaseRequest");
  return calls;
}

TEST_F(EditorInput, ADragOnRatioGoesThroughTheHostAndTheBubbleShowsTheValue) {
  const int h = static_cast<int>(ControlFor(kParamRatio)->GetRECT().H());
  HostSets(kParamRatio, 0.5);
  ASSERT_EQ(Value(kParamRatio), 2.0);
  mLog.Clear();
  const POINT c = Centre(kParamRatio);
  Press(mEditor, c.x, c.y);
  // A quarter of the range per knob height (gearing 4): past half a step the next value shows.
  for (int i = 0; i < 6; ++i) DragTo(mEditor, c.x, c.y - h / 10);
  EXPECT_EQ(Value(kParamRatio), 3.0) << "the host answered the set-value request";
  const igraphics::IBubbleControl* bubble = Win()->GetBubbleControl(0);
  EXPECT_STREQ(bubble->GetString(), "4:1");
  EXPECT_NE(bubble->GetState(), igraphics::IBubbleControl::kBubbleHidden);
  Release(mEditor, c.x, c.y);

  const std::vector<std::string> calls = AutomationCalls("5");
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls.front(), "PostTouchRequest");
  EXPECT_EQ(calls.back(), "PostReleaseRequest");
  EXPECT_EQ(calls, Gesture((static_cast<int>(calls.size()) - 2) / 3)) << "touch, set-value requests, release";
  EXPECT_DOUBLE_EQ(ControlFor(kParamRatio)->GetValue(), Plug().GetParam(kParamRatio)->GetNormalized());
  EXPECT_EQ(Win()->NCapturedPointers(), 0);
}

// Half a step of Ratio is an eighth of the range: half a knob height plainly, five heights
// with shift or control (the value is rounded to the nearest step as it moves).
TEST_F(EditorInput, ShiftOrControlMoveAKnobTenTimesLess) {
  const int h = static_cast<int>(ControlFor(kParamRatio)->GetRECT().H());
  struct Case {
    WPARAM keys;
    int up;
    double change;
  } cases[] = {
      {0, h * 45 / 100, 0.0},         {0, h * 55 / 100, 1.0},           {MK_SHIFT, h * 45 / 100 * 10, 0.0},
      {MK_SHIFT, h * 55 / 100 * 10, 1.0}, {MK_CONTROL, h * 55 / 100 * 10, 1.0},
  };
  for (const Case& c : cases) {
    HostSets(kParamRatio, 0.25);  // "2:1", a step above the lowest
    const double before = Value(kParamRatio);
    DragKnob(kParamRatio, c.up, c.keys);
    EXPECT_EQ(Value(kParamRatio) - before, c.change) << "keys " << c.keys << ", " << c.up << " px up";
  }
}

TEST_F(EditorInput, AWheelNotchStepsAKnobAndHalfANotchDoesNothing) {
  const POINT c = Centre(kParamGain);
  const double before = Value(kParamGain);
  Wheel(mEditor, c.x, c.y, 60);
  EXPECT_EQ(Value(kParamGain), before);
  Wheel(mEditor, c.x, c.y, 120);
  EXPECT_EQ(Value(kParamGain), before + 1.0);
  Wheel(mEditor, c.x, c.y, -240);  // two notches, but a stepped knob moves one step at a time
  EXPECT_EQ(Value(kParamGain), before);
}

TEST_F(EditorInput, AClickTogglesBypassAndADoubleClickTogglesItTwiceEachWithItsGesture) {
  const POINT c = Centre(kParamBypass);
  const double start = Value(kParamBypass);
  Click(mEditor, c.x, c.y);
  EXPECT_EQ(Value(kParamBypass), 1.0 - start);
  const std::string id = "11";
  EXPECT_EQ(AutomationCalls(id), Gesture(1));
  mLog.Clear();
  DoubleClick(mEditor, c.x, c.y);
  EXPECT_EQ(Value(kParamBypass), 1.0 - start);
  const std::vector<std::string> once = Gesture(1);
  std::vector<std::string> twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(AutomationCalls(id), twice);
  EXPECT_EQ(Win()->NCapturedPointers(), 0);
}

// A host that takes parameter clicks (as for its own automation shortcuts) is asked first,
// with the click's modifiers; the switch then never sees the click.
TEST_F(EditorInput, AHostThatTakesTheClickLeavesTheSwitchAlone) {
  const POINT c = Centre(kParamBypass);
  const double start = Value(kParamBypass);
  mContainer->TakeParameterMouseEvents(true);
  Press(mEditor, c.x, c.y, MK_CONTROL | MK_SHIFT);
  Release(mEditor, c.x, c.y);
  mContainer->TakeParameterMouseEvents(false);
  EXPECT_EQ(Value(kParamBypass), start);
  EXPECT_TRUE(AutomationCalls("11").empty()) << "no gesture";
  EXPECT_EQ(Win()->NCapturedPointers(), 0);
  const std::vector<aaxhost::Call> asked = mLog.CallsNamed("HandleParameterMouseDown");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_TRUE(asked[0].Is("HandleParameterMouseDown", {"11", "0x00000009"})) << asked[0].ToString();
}

TEST_F(EditorInput, ADoubleClickOnAKnobChangesNothingAndDropsItsCapture) {
  const POINT c = Centre(kParamRatio);
  const double before = Value(kParamRatio);
  Click(mEditor, c.x, c.y);
  SendMessageW(mEditor, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(c.x, c.y));
  EXPECT_EQ(Win()->NCapturedPointers(), 0);
  DragTo(mEditor, c.x, c.y - 200);  // the button is still down, but nothing holds the knob
  Release(mEditor, c.x, c.y - 200);
  EXPECT_EQ(Value(kParamRatio), before);
  EXPECT_EQ(AutomationCalls("5"), Gesture(0)) << "only the first press's gesture";
  EXPECT_FALSE(Win()->IsCursorHidden());
}

TEST_F(EditorInput, ACornerDragZoomsTheEditorTheHostWindowFollowsAndADoubleClickReturnsToScaleOne) {
  Press(mEditor, 370, 583);
  DragTo(mEditor, 463, 729);
  DragTo(mEditor, 555, 875);  // pixels: 1.5 times the pressed point
  Release(mEditor, 555, 875);
  EXPECT_FLOAT_EQ(Win()->GetDrawScale(), 1.5f);
  int w = 0, h = 0;
  ASSERT_TRUE(mWindow->GetClientSize(w, h));
  EXPECT_EQ(w, 567);
  EXPECT_EQ(h, 886);
  RECT child;
  GetClientRect(mEditor, &child);
  EXPECT_EQ(child.right, 567);

  DoubleClick(mEditor, 560, 880);  // the corner keeps its 20 pixels at every zoom
  EXPECT_FLOAT_EQ(Win()->GetDrawScale(), 1.f);
  ASSERT_TRUE(mWindow->GetClientSize(w, h));
  EXPECT_EQ(w, 378);
  EXPECT_EQ(h, 591);
}

TEST_F(EditorInput, KeysTheEditorDoesNotTakeReachTheHostsTopLevelWindow) {
  KeyRecorder host(HostHandle());
  Key(mEditor, WM_KEYDOWN, VK_SPACE);
  Key(mEditor, WM_KEYUP, VK_SPACE);
  EXPECT_EQ(host.Keys(), (std::vector<std::string>{"down 32", "up 32"}));

  std::vector<std::string> taken;
  Win()->SetKeyHandlerFunc([&](const iplug::IKeyPress& key, bool isUp) {
    taken.push_back(std::string(isUp ? "up " : "down ") + key.utf8);
    return key.VK == 'K';
  });
  Key(mEditor, WM_KEYDOWN, 'K');
  Key(mEditor, WM_KEYDOWN, VK_SPACE);
  EXPECT_EQ(taken, (std::vector<std::string>{"down k", "down  "})) << "ToAscii's text for each key";
  EXPECT_EQ(host.Keys().back(), "down 32") << "the editor kept the key it took";
  EXPECT_EQ(host.Keys().size(), 3u);
  Win()->SetKeyHandlerFunc(nullptr);
}

TEST_F(EditorInput, AHeldKnobLocksTheHiddenCursorWhereTheDragBeganAndShowsItThereAgain) {
  const int shown = CursorShowCount();
  const POINT c = Centre(kParamMix);
  POINT pressed = c;
  ClientToScreen(mEditor, &pressed);
  SetCursorPos(pressed.x, pressed.y);
  Press(mEditor, c.x, c.y);
  EXPECT_EQ(CursorShowCount(), shown - 1);
  EXPECT_TRUE(Win()->IsCursorLocked());
  DragTo(mEditor, c.x, c.y - 30);
  POINT now;
  GetCursorPos(&now);
  EXPECT_EQ(now.x, pressed.x);
  EXPECT_EQ(now.y, pressed.y) << "pulled back after the move";
  SetCursorPos(pressed.x + 40, pressed.y + 70);  // the user's hand went on
  Release(mEditor, c.x + 40, c.y + 70);
  GetCursorPos(&now);
  EXPECT_EQ(now.x, pressed.x);
  EXPECT_EQ(now.y, pressed.y) << "shown again where the drag began";
  EXPECT_EQ(CursorShowCount(), shown);
  EXPECT_FALSE(Win()->IsCursorLocked());
}

TEST_F(EditorInput, TheResizerShowsTheSizingCursorWhileHovered) {
  const HCURSOR sizing = LoadCursorA(nullptr, MAKEINTRESOURCEA(32642));  // IDC_SIZENWSE
  const HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));   // IDC_ARROW
  Hover(mEditor, 372, 585);
  EXPECT_EQ(GetCursor(), sizing);
  SetCursor(arrow);
  SendMessageW(mEditor, WM_SETCURSOR, reinterpret_cast<WPARAM>(mEditor), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), sizing) << "the window keeps its shape";
  Hover(mEditor, 200, 100);
  EXPECT_EQ(GetCursor(), arrow);
  EXPECT_EQ(Win()->GetCursorType(), igraphics::kArrowPointer);
}

// A held knob whose window loses the capture (another window took it, the button came up
// elsewhere) is released: its gesture closes and the cursor shows again.
TEST_F(EditorInput, LosingTheCaptureOrAMiddleClickLeavesNoKnobHeld) {
  const int shown = CursorShowCount();
  const POINT c = Centre(kParamMix);
  Press(mEditor, c.x, c.y);
  SetCapture(HostHandle());
  ReleaseCapture();
  EXPECT_EQ(Win()->NCapturedPointers(), 0);
  EXPECT_EQ(AutomationCalls("4"), Gesture(0));
  EXPECT_EQ(CursorShowCount(), shown);

  mLog.Clear();
  SendMessageW(mEditor, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(c.x, c.y));
  SendMessageW(mEditor, WM_MBUTTONUP, 0, MAKELPARAM(c.x, c.y));
  EXPECT_EQ(Win()->NCapturedPointers(), 0);
  EXPECT_EQ(AutomationCalls("4"), Gesture(0));
  EXPECT_EQ(CursorShowCount(), shown);
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
}  // namespace tbtest
