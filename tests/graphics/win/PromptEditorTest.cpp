// A small test plug-in whose controls allow value prompts, in a real host window, played with
// real window messages: the in-place edit box (character filter, Return, Escape, a click into
// the editor), the popup menu of an enumerated parameter, tooltips, dropped files, touches,
// and 50 openings with input in between that leave nothing behind.
#include <gtest/gtest.h>

#include "graphics/win/WinInclude.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphics/IGEditorDelegate.h"
#include "graphics/IPanelControl.h"
#include "graphics/Utf16Text.h"
#include "graphics/win/IGraphicsWin.h"
#include "graphics/win/WinFontCaches.h"
#include "host/aax/HostWindow.h"
#include "tests/graphics/win/WinTestWindow.h"
#include "tests/graphics/win/WindowInput.h"

namespace tbtest {
namespace {

using namespace wintest;
using igraphics::IBounds;
using igraphics::IGraphicsWin;
using igraphics::WinTextEntry;

enum { kSteps = 0, kDrive, kShape, kNumPromptParams };
constexpr int kWidth = 320;
constexpr int kHeight = 120;

// A plain rectangle bound to a parameter that prompts for its value on a double click and
// records the pointer events it is given. A press hides and locks the cursor, as a knob does.
class PromptControl : public igraphics::IControl {
public:
  PromptControl(const IBounds& bounds, int paramIdx) : IControl(bounds, paramIdx) {
    DisablePrompt(false);
    SetTooltip(paramIdx == kSteps ? "Steps: type a whole number" : "");
  }
  void Draw(igraphics::IGraphics& g) override { g.FillRect(igraphics::IColor(255, 90, 120, 160), GetRECT()); }
  void OnMouseDown(float, float, const igraphics::IMouseMod& mod) override {
    mDowns.push_back(mod.mTouchID);
    if (mod.mTouchID == 0 && GetUI()) GetUI()->HideMouseCursor(true, true);
  }
  void OnMouseUp(float, float, const igraphics::IMouseMod& mod) override {
    mUps.push_back(mod.mTouchID);
    if (mod.mTouchID == 0 && GetUI()) GetUI()->HideMouseCursor(false, true);
  }
  void OnMouseDrag(float, float, float dX, float dY, const igraphics::IMouseMod&) override {
    mDrags.push_back({dX, dY});
  }
  void OnDrop(const char* str) override { mDropped = str; }
  void OnMouseWheel(float, float, const igraphics::IMouseMod&, float d) override { mWheel.push_back(d); }

  std::vector<int64_t> mDowns, mUps;
  std::vector<std::pair<float, float>> mDrags;
  std::string mDropped;
  std::vector<float> mWheel;
};

class PromptPlugin : public igraphics::IGEditorDelegate {
public:
  PromptPlugin() : IGEditorDelegate(kNumPromptParams) {
    GetParam(kSteps)->InitInt("Steps", 0, -10, 10);
    GetParam(kDrive)->InitDouble("Drive", 1.0, 0.0, 10.0, 0.01);
    GetParam(kShape)->InitEnum("Shape", 0, 3, "", 0, "", "Soft", "Hard", "Clip");
    SetEditorSize(kWidth, kHeight);
    SetGraphicsFactory([this] {
      auto* g = new IGraphicsWin(*this, kWidth, kHeight, 60, 1.f);
      g->SetWinModuleHandle(GetModuleHandleW(nullptr));
      return g;
    });
    SetLayoutFunction([](igraphics::IGraphics* g) {
      g->AttachPanelBackground(igraphics::IColor(255, 40, 40, 40));
      g->EnableMouseOver(true);
      g->EnableTooltips(true);
      for (int i = 0; i < kNumPromptParams; ++i)
        g->AttachControl(new PromptControl(IBounds(10.f + 100.f * i, 40.f, 100.f + 100.f * i, 70.f), i));
    });
  }
  void BeginParamGestureFromEditor(int) override { ++mGestures; }
  void EndParamGestureFromEditor(int) override { --mGestures; }

  int mGestures = 0;  // open host gestures
};

// One editor for the whole suite (opening one costs seconds under Wine); each case leaves it
// with no box or menu open.
class PromptEditor : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    std::string error;
    sWindow = aaxhost::HostWindow::Create("Tollenbrook prompt test", kWidth, kHeight, error).release();
    ASSERT_NE(sWindow, nullptr) << error;
    sPlugin = new PromptPlugin;
    sPlugin->OpenEditor(sWindow->Handle());
  }
  static void TearDownTestSuite() {
    if (sPlugin) sPlugin->CloseEditor();
    delete sPlugin;
    delete sWindow;
    sPlugin = nullptr;
    sWindow = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(Win(), nullptr);
    ASSERT_TRUE(Win()->WindowIsOpen()) << Win()->GetOpenError();
    mEditor = static_cast<HWND>(Win()->GetWindow());
  }

  static IGraphicsWin* Win() { return sPlugin ? dynamic_cast<IGraphicsWin*>(sPlugin->GetUI()) : nullptr; }
  static PromptControl* Control(int paramIdx) { return static_cast<PromptControl*>(Win()->GetControl(paramIdx + 1)); }
  static POINT Centre(int paramIdx) {
    const IBounds& r = Control(paramIdx)->GetRECT();
    return POINT{static_cast<LONG>(r.MW()), static_cast<LONG>(r.MH())};
  }
  static double Value(int paramIdx) { return sPlugin->GetParam(paramIdx)->Value(); }
  static HWND EditBox() { return Win()->GetTextEntry().GetWindow(); }

  // The window messages of the host's loop, one at a time, until the editor has handled
  // `ticks` more redraw ticks.
  static void PumpTicks(int ticks) {
    const int until = Win()->TicksHandled() + ticks;
    for (int spins = 0; spins < 5000 && Win()->TicksHandled() < until; ++spins) {
      MSG msg;
      if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      } else {
        Sleep(1);
      }
    }
  }
  void OpenEditBox(int paramIdx) {
    const POINT c = Centre(paramIdx);
    DoubleClick(mEditor, c.x, c.y);
    ASSERT_NE(EditBox(), nullptr) << "a double click prompts for the value";
  }
  void Type(const char* text) {
    for (const char* p = text; *p; ++p) Char(EditBox(), static_cast<wchar_t>(*p));
  }
  static std::string BoxText() { return WindowText(EditBox()); }
  // A touch at the centre of a control, as WM_TOUCH would report it (a touch holds no window
  // capture that a dialog could take).
  void Touch(int paramIdx, DWORD id, DWORD flags) {
    POINT at = Centre(paramIdx);
    ClientToScreen(mEditor, &at);
    TOUCHINPUT touch{};
    touch.x = at.x * 100;
    touch.y = at.y * 100;
    touch.dwID = id;
    touch.dwFlags = flags;
    Win()->OnTouchInputs(&touch, 1);
  }

  static aaxhost::HostWindow* sWindow;
  static PromptPlugin* sPlugin;
  HWND mEditor = nullptr;
};

aaxhost::HostWindow* PromptEditor::sWindow = nullptr;
PromptPlugin* PromptEditor::sPlugin = nullptr;

TEST_F(PromptEditor, TheEditBoxFiltersByParameterKindAndCommitsOnReturnAtTheNextTick) {
  struct Case {
    int param;
    const char* typed;
    const char* kept;
    double value;
  } cases[] = {
      {kSteps, "-7", "-7", -7.0},
      {kSteps, "a1b2.", "12", 10.0},  // letters and "." refused; the value is clamped to the range
      {kSteps, "+3", "+3", 3.0},
      {kDrive, "2x.5", "2.5", 2.5},
      {kDrive, "-1", "-1", 0.0},
  };
  for (const Case& c : cases) {
    OpenEditBox(c.param);
    Type(c.typed);  // the box's first text is all selected, so typing replaces it
    EXPECT_EQ(BoxText(), c.kept) << c.typed;
    Key(EditBox(), WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(Win()->GetTextEntry().GetState(), WinTextEntry::kCommit);
    EXPECT_NE(EditBox(), nullptr) << "the commit waits for the tick";
    PumpTicks(1);
    EXPECT_EQ(EditBox(), nullptr) << c.typed << ": the next tick commits";
    EXPECT_DOUBLE_EQ(Value(c.param), c.value) << c.typed;
    EXPECT_EQ(Control(c.param)->GetValue(), sPlugin->GetParam(c.param)->GetNormalized());
  }
}

TEST_F(PromptEditor, EscapeOrTheWheelCancelsAndAClickIntoTheEditorCommits) {
  const double before = Value(kDrive);
  OpenEditBox(kDrive);
  Type("7");
  Key(EditBox(), WM_KEYDOWN, VK_ESCAPE);
  PumpTicks(1);
  EXPECT_EQ(EditBox(), nullptr);
  EXPECT_EQ(Value(kDrive), before);
  EXPECT_EQ(Win()->GetControlInTextEntry(), nullptr);

  OpenEditBox(kDrive);
  Type("7");
  Wheel(mEditor, 5, 5, 120);
  PumpTicks(1);
  EXPECT_EQ(EditBox(), nullptr);
  EXPECT_EQ(Value(kDrive), before);

  OpenEditBox(kDrive);
  Type("4");
  PumpTicks(1);  // the box is painted around
  Click(mEditor, 5, 5);
  EXPECT_EQ(Win()->NCapturedPointers(), 0) << "the click only ends the entry";
  PumpTicks(1);
  EXPECT_EQ(EditBox(), nullptr);
  EXPECT_DOUBLE_EQ(Value(kDrive), 4.0);
  EXPECT_EQ(GetFocus(), mEditor) << "keys reach the editor (and the host) again";
}

TEST_F(PromptEditor, OneEditBoxAtATimeAndATextTooLongForItsBufferStartsEmpty) {
  const IBounds bounds = Control(kDrive)->GetRECT();
  Win()->CreatePlatformTextEntry(kDrive, igraphics::ITextStyle(), bounds, 64, std::string(32, '9').c_str());
  const HWND box = EditBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxText(), "") << "32 units and the terminator do not fit";
  Win()->CreatePlatformTextEntry(kSteps, igraphics::ITextStyle(), bounds, 64, "1");
  EXPECT_EQ(EditBox(), box) << "a second request while one is open does nothing";
  Win()->CancelPlatformTextEntry();
  PumpTicks(1);
  EXPECT_EQ(EditBox(), nullptr);
  Win()->CreatePlatformTextEntry(kDrive, igraphics::ITextStyle(), bounds, 64, std::string(31, '9').c_str());
  EXPECT_EQ(BoxText(), std::string(31, '9'));
  Win()->CancelPlatformTextEntry();
  PumpTicks(1);
}

// The menu loop runs inside the double click; the editor window owns the menu, so its idle
// notification is where the "user" reads the menu and picks the third item.
TEST_F(PromptEditor, AnEnumeratedParameterPromptsWithAMenuOfItsDisplayTexts) {
  struct Seen {
    std::vector<std::string> texts;
    std::vector<bool> checked;
    bool keysSent = false;
  } seen;
  static Seen* current = nullptr;
  current = &seen;
  const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(mEditor, GWLP_WNDPROC));
  static WNDPROC sOriginal = nullptr;
  sOriginal = original;
  SetWindowLongPtrW(mEditor, GWLP_WNDPROC,
                    reinterpret_cast<LONG_PTR>(+[](HWND w, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
                      if (msg == WM_ENTERIDLE && wParam == MSGF_MENU && !current->keysSent) {
                        current->keysSent = true;
                        const auto menu = reinterpret_cast<HMENU>(
                            SendMessageW(reinterpret_cast<HWND>(lParam), MN_GETHMENU, 0, 0));
                        int highlighted = -1;  // Wine highlights the first item of a menu opened by a click
                        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                          wchar_t text[64] = {};
                          GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
                          current->texts.push_back(igraphics::ToUtf8(text));
                          const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
                          current->checked.push_back(state & MF_CHECKED);
                          if (state & MF_HILITE) highlighted = i;
                        }
                        std::vector<WPARAM> keys(static_cast<size_t>(2 - highlighted), VK_DOWN);
                        keys.push_back(VK_RETURN);
                        for (WPARAM key : keys) {
                          PostMessageW(w, WM_KEYDOWN, key, 0);
                          PostMessageW(w, WM_KEYUP, key, 0xC0000000);
                        }
                      }
                      return CallWindowProcW(sOriginal, w, msg, wParam, lParam);
                    }));
  const POINT c = Centre(kShape);
  DoubleClick(mEditor, c.x, c.y);
  SetWindowLongPtrW(mEditor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
  ASSERT_TRUE(seen.keysSent) << "the menu loop never waited for input";
  EXPECT_EQ(seen.texts, (std::vector<std::string>{"Soft", "Hard", "Clip"}));
  EXPECT_EQ(seen.checked, (std::vector<bool>{true, false, false})) << "the current choice is checked";
  EXPECT_EQ(Win()->GetPromptMenu().GetChosenItemIdx(), 2);
  EXPECT_EQ(Value(kShape), 2.0);
  EXPECT_EQ(Win()->GetControlInPopupMenu(), nullptr);
  EXPECT_EQ(Win()->NCapturedPointers(), 0);
}

// Real input through the system (SendInput), so that the messages carry its extra information:
// presses and double clicks the system made from a pen or touch (signature 0xFF515700) are
// left to WM_TOUCH; a mouse press is not.
TEST_F(PromptEditor, PressesMadeFromPenOrTouchAreLeftToTouchInput) {
  // (Drive has no tooltip: a tooltip window would come up under the pointer.)
  PromptControl& steps = *Control(kDrive);
  POINT at = Centre(kDrive);
  ClientToScreen(mEditor, &at);
  auto click = [&](ULONG_PTR extra) {
    INPUT in[2] = {};
    for (INPUT& i : in) {
      i.type = INPUT_MOUSE;
      i.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
      i.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
      i.mi.dwExtraInfo = extra;
    }
    in[0].mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP;
    steps.mDowns.clear();
    steps.mUps.clear();
    ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
    PumpTicks(3);
  };
  click(0);
  EXPECT_EQ(steps.mDowns, (std::vector<int64_t>{0})) << "a mouse press";
  EXPECT_EQ(steps.mUps, (std::vector<int64_t>{0}));
  // The second click on the spot comes as a double click: from a pen, it prompts for nothing.
  click(0xFF515701);
  EXPECT_TRUE(steps.mDowns.empty()) << "a pen press";
  EXPECT_EQ(EditBox(), nullptr) << "a pen double click";
  EXPECT_EQ(Win()->NCapturedPointers(), 0);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(PromptEditor, TheWheelCountsWholeNotches) {
  const POINT c = Centre(kDrive);
  PromptControl& drive = *Control(kDrive);
  drive.mWheel.clear();
  for (int delta : {60, 120, -240, 119, -121, 360}) Wheel(mEditor, c.x, c.y, delta);
  EXPECT_EQ(drive.mWheel, (std::vector<float>{0.f, 1.f, -2.f, 0.f, -1.f, 3.f}));
}

TEST_F(PromptEditor, HoverShowsTheControlsTooltip) {
  ASSERT_NE(Win()->GetTooltipWindow(), nullptr);
  const POINT c = Centre(kSteps);
  Hover(mEditor, c.x, c.y);
  SendMessageW(mEditor, WM_MOUSEHOVER, 0, MAKELPARAM(c.x, c.y));
  char text[128] = {};
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = mEditor;
  tool.uId = reinterpret_cast<UINT_PTR>(mEditor);
  tool.lpszText = text;
  SendMessageA(Win()->GetTooltipWindow(), TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, "Steps: type a whole number");
  SendMessageW(mEditor, WM_MOUSELEAVE, 0, 0);
}

// The system's drop record: DROPFILES, then the UTF-16 paths, each ended, and an empty one.
HGLOBAL MakeDrop(const std::wstring& path, POINT at) {
  const size_t bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GHND, bytes);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->pt = at;
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return memory;
}

TEST_F(PromptEditor, ADroppedFileReachesTheControlUnderTheDropPoint) {
  const POINT c = Centre(kDrive);
  SendMessageW(mEditor, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(L"C:\\Mixes\\Grüße.wav", c)), 0);
  EXPECT_EQ(Control(kDrive)->mDropped, "C:\\Mixes\\Grüße.wav");
  EXPECT_EQ(Control(kSteps)->mDropped, "");
}

// Wine sends no WM_TOUCH (and reads no touch input), so the touch inputs of one message go in
// as GetTouchInputInfo reports them: positions in hundredths of a screen pixel.
TEST_F(PromptEditor, TouchesOfOneMessageArriveAsOneListWithTheirIdentifiers) {
  auto input = [&](int paramIdx, DWORD id, DWORD flags, int dy) {
    POINT p = Centre(paramIdx);
    ClientToScreen(mEditor, &p);
    TOUCHINPUT t{};
    t.x = p.x * 100;
    t.y = (p.y + dy) * 100;
    t.dwID = id;
    t.dwFlags = flags;
    return t;
  };
  PromptControl& steps = *Control(kSteps);
  PromptControl& drive = *Control(kDrive);
  for (PromptControl* c : {&steps, &drive}) c->mDowns.clear(), c->mUps.clear(), c->mDrags.clear();
  // A message whose inputs the system cannot read gives nothing (and its handle is closed).
  SendMessageW(mEditor, WM_TOUCH, 2, 0);
  EXPECT_TRUE(steps.mDowns.empty() && drive.mDowns.empty());
  const TOUCHINPUT down[] = {input(kSteps, 7, TOUCHEVENTF_DOWN, 0), input(kDrive, 9, TOUCHEVENTF_DOWN, 0)};
  Win()->OnTouchInputs(down, 2);
  EXPECT_EQ(steps.mDowns, (std::vector<int64_t>{7}));
  EXPECT_EQ(drive.mDowns, (std::vector<int64_t>{9}));
  EXPECT_EQ(Win()->GetTouches().NTouchesDown(), 2);
  const TOUCHINPUT moved[] = {input(kDrive, 9, TOUCHEVENTF_MOVE, -6)};
  Win()->OnTouchInputs(moved, 1);
  ASSERT_EQ(drive.mDrags.size(), 1u);
  EXPECT_EQ(drive.mDrags[0], (std::pair<float, float>{0.f, -6.f}));
  const TOUCHINPUT up[] = {input(kSteps, 7, TOUCHEVENTF_UP, 0), input(kDrive, 9, TOUCHEVENTF_UP, -6)};
  Win()->OnTouchInputs(up, 2);
  EXPECT_EQ(steps.mUps, (std::vector<int64_t>{7}));
  EXPECT_EQ(drive.mUps, (std::vector<int64_t>{9}));
  EXPECT_EQ(Win()->GetTouches().NTouchesDown(), 0);
  EXPECT_EQ(Win()->NCapturedPointers(), 0);
}

// The platform services as a control reaches them, through the graphics context: each modal
// dialog lets go of every held pointer (a touch here, which holds no window capture that the
// dialog could take) and reports "nothing chosen" when the user cancels.
TEST_F(PromptEditor, TheSystemServicesOfTheEditorReleaseThePointerAndDegradeToNothingChosen) {
  igraphics::IGraphics& g = *Win();
  struct Case {
    const char* name;
    std::function<bool()> run;  // true when the service answered "nothing chosen"
  } cases[] = {
      {"message box", [&] { return g.ShowMessageBox("Reset all?", "Tollenbrook", igraphics::kMB_OKCANCEL) == IDCANCEL; }},
      {"colour", [&] {
         igraphics::IColor c(255, 1, 2, 3);
         return !g.PromptForColour(c, "Meter colour") && c == igraphics::IColor(255, 1, 2, 3);
       }},
      {"file", [&] {
         iplug::TextBuffer name("mix.wav"), dir;
         g.PromptForFile(name, dir, igraphics::kFileOpen, "wav aif");
         return std::string(name.Get()).empty();
       }},
      {"folder", [&] {
         iplug::TextBuffer dir("C:\\");
         g.PromptForDirectory(dir);
         return std::string(dir.Get()).empty();
       }},
  };
  for (const Case& c : cases) {
    Touch(kDrive, 3, TOUCHEVENTF_DOWN);
    ASSERT_EQ(Win()->NCapturedPointers(), 1) << c.name;
    DialogCloser user(IDCANCEL);
    EXPECT_TRUE(c.run()) << c.name;
    EXPECT_TRUE(user.Closed()) << c.name;
    EXPECT_EQ(Win()->NCapturedPointers(), 0) << c.name;
    Touch(kDrive, 3, TOUCHEVENTF_UP);
  }
  EXPECT_EQ(sPlugin->mGestures, 0);

  EXPECT_FALSE(g.RevealPathInExplorer(""));
  const char* text = "Grüße, 東京 → −3 dB";
  ASSERT_TRUE(g.SetTextInClipboard(text));
  iplug::TextBuffer back;
  EXPECT_TRUE(g.GetTextFromClipboard(back));
  EXPECT_STREQ(back.Get(), text);
  EXPECT_EQ(g.LoadPlatformFont("missing", "Tollenbrook No Such Family", 0), nullptr);
  EXPECT_EQ(igraphics::WinFontCaches::Instance().NUsers(), 1) << "one live editor keeps the caches";
}

// The completions a control passes through the graphics context: each runs once, after the
// dialog has let go of the pointer, with what the user chose (OK on the colour dialog keeps
// the start colour) or with "nothing chosen" when the user cancelled.
TEST_F(PromptEditor, EachDialogCompletesOnceAfterLettingGoOfThePointer) {
  igraphics::IGraphics& g = *Win();
  struct Result {
    int calls = 0;
    int capturedAtCall = -1;
    std::string text;
  };
  const auto record = [](Result& r, const std::string& text) {
    ++r.calls;
    r.capturedAtCall = Win()->NCapturedPointers();
    r.text = text;
  };
  struct Case {
    const char* name;
    int userCommand;
    std::function<void(Result&)> run;
    const char* expected;
  } cases[] = {
      {"message box", IDCANCEL, [&](Result& r) {
         g.ShowMessageBox("Reset all?", "Tollenbrook", igraphics::kMB_OKCANCEL,
                          [&](int button) { record(r, std::to_string(button)); });
       }, "2"},  // IDCANCEL
      {"colour, cancelled", IDCANCEL, [&](Result& r) {
         igraphics::IColor c(255, 1, 2, 3);
         g.PromptForColour(c, "Meter colour", [&](const igraphics::IColor& chosen, bool ok) {
           record(r, std::to_string(chosen.B) + (ok ? " chosen" : " not chosen"));
         });
       }, "3 not chosen"},
      {"colour, OK", IDOK, [&](Result& r) {
         igraphics::IColor c(255, 1, 2, 3);
         g.PromptForColour(c, "Meter colour", [&](const igraphics::IColor& chosen, bool ok) {
           record(r, std::to_string(chosen.B) + (ok ? " chosen" : " not chosen"));
         });
       }, "3 chosen"},
      {"file", IDCANCEL, [&](Result& r) {
         iplug::TextBuffer name("mix.wav"), dir("C:\\");
         g.PromptForFile(name, dir, igraphics::kFileSave, "wav",
                         [&](const iplug::TextBuffer& n, const iplug::TextBuffer& d) {
                           record(r, std::string(n.Get()) + "|" + d.Get());
                         });
       }, "|C:\\"},
      {"folder", IDCANCEL, [&](Result& r) {
         iplug::TextBuffer dir("C:\\");
         g.PromptForDirectory(dir, [&](const iplug::TextBuffer& n, const iplug::TextBuffer& d) {
           record(r, std::string(n.Get()) + "|" + d.Get());
         });
       }, "|"},
  };
  for (const Case& c : cases) {
    Touch(kDrive, 4, TOUCHEVENTF_DOWN);
    ASSERT_EQ(Win()->NCapturedPointers(), 1) << c.name;
    Result result;
    {
      DialogCloser user(c.userCommand);
      c.run(result);
      EXPECT_TRUE(user.Closed()) << c.name;
    }
    EXPECT_EQ(result.calls, 1) << c.name;
    EXPECT_EQ(result.capturedAtCall, 0) << c.name << ": the pointer is let go first";
    EXPECT_EQ(result.text, c.expected) << c.name;
    Touch(kDrive, 4, TOUCHEVENTF_UP);
  }
  EXPECT_EQ(sPlugin->mGestures, 0);
}

// GDI and USER object counts of this process (0 where the system does not count them).
DWORD GuiObjects(DWORD kind) { return GetGuiResources(GetCurrentProcess(), kind); }

int EditWindowsOf(HWND parent) {
  int n = 0;
  for (HWND w = FindWindowExW(parent, nullptr, L"EDIT", nullptr); w; w = FindWindowExW(parent, w, L"EDIT", nullptr))
    ++n;
  return n;
}

// Each opening: an edit box with its own font, then either the window closed with the box
// open, or the box cancelled by the wheel and the window closed while a press holds a control
// with the cursor hidden. Nothing stays: windows, the box's font, the cursor's hiding, the
// capture, the font caches' users.
TEST_F(PromptEditor, FiftyOpeningsWithInputLeaveNothingBehind) {
  sPlugin->CloseEditor();
  const HWND host = static_cast<HWND>(sWindow->Handle());
  const int shown = CursorShowCount();
  const DWORD gdi = GuiObjects(GR_GDIOBJECTS);
  const DWORD user = GuiObjects(GR_USEROBJECTS);
  const int cacheUsers = igraphics::WinFontCaches::Instance().NUsers();
  for (int i = 0; i < 50; ++i) {
    ASSERT_NE(sPlugin->OpenEditor(host), nullptr) << "opening " << i;
    mEditor = static_cast<HWND>(Win()->GetWindow());
    EXPECT_EQ(igraphics::WinFontCaches::Instance().NUsers(), cacheUsers + 1);
    OpenEditBox(kSteps);
    const HFONT font = Win()->GetTextEntry().GetFont();
    const HWND box = EditBox();
    Type("5");
    if (i % 2 == 1) {
      Wheel(mEditor, 5, 5, -120);
      PumpTicks(1);
      EXPECT_FALSE(IsWindow(box));
      const POINT c = Centre(kDrive);
      Press(mEditor, c.x, c.y);
      EXPECT_EQ(CursorShowCount(), shown - 1);
      EXPECT_EQ(GetCapture(), mEditor);
    }
    sPlugin->CloseEditor();
    EXPECT_FALSE(IsWindow(box)) << "opening " << i;
    EXPECT_EQ(GetObjectType(font), 0u) << "the box's font went, opening " << i;
    EXPECT_EQ(EditWindowsOf(host), 0);
    EXPECT_EQ(CursorShowCount(), shown) << "opening " << i;
    EXPECT_EQ(GetCapture(), nullptr);
  }
  EXPECT_EQ(igraphics::WinFontCaches::Instance().NUsers(), cacheUsers);
  EXPECT_EQ(sPlugin->mGestures, 0) << "closing ended the held control's gesture";
  // (Wine counts no GUI objects: 0 before and after.)
  EXPECT_LE(GuiObjects(GR_GDIOBJECTS), gdi + 2);
  EXPECT_LE(GuiObjects(GR_USEROBJECTS), user + 2);
  ASSERT_NE(sPlugin->OpenEditor(host), nullptr);
}

}  // namespace
}  // namespace tbtest
