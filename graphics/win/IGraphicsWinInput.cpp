// The editor window's input: pointer, pen and touch, wheel, hover and tooltips, dropped files,
// keys, the cursor and the in-place text edit box. Positions are logical units: window pixels
// divided by the total scale t (draw scale x screen scale).
#include "graphics/win/IGraphicsWin.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cmath>
#include <vector>

#include "graphics/IGEditorDelegate.h"
#include "graphics/Utf16Text.h"

namespace igraphics {

namespace {

// GetMessageExtraInfo of mouse messages the system made from pen or touch input.
constexpr LPARAM kPenOrTouchMask = static_cast<LPARAM>(0xFFFFFF00);
constexpr LPARAM kPenOrTouchSignature = static_cast<LPARAM>(0xFF515700);

constexpr int kWheelNotch = WHEEL_DELTA;  // 120 units

// The system cursor of each shape (ECursor order); any other shape shows the arrow.
constexpr WORD kSystemCursors[] = {
    32512,  // IDC_ARROW
    32513,  // IDC_IBEAM
    32514,  // IDC_WAIT
    32515,  // IDC_CROSS
    32516,  // IDC_UPARROW
    32642,  // IDC_SIZENWSE
    32643,  // IDC_SIZENESW
    32644,  // IDC_SIZEWE
    32645,  // IDC_SIZENS
    32646,  // IDC_SIZEALL
    32648,  // IDC_NO
    32649,  // IDC_HAND
    32650,  // IDC_APPSTARTING
    32651,  // IDC_HELP
};

bool IsMouseMessage(UINT msg) {
  return (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || msg == WM_MOUSEHOVER || msg == WM_MOUSELEAVE;
}

bool KeyIsDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

// A character of the ANSI code page (what ToAscii gives) as UTF-8.
void AnsiCharToUtf8(unsigned char c, char (&utf8)[5]) {
  wchar_t wide[2] = {};
  const char ansi[2] = {static_cast<char>(c), 0};
  if (c < 0x80 || MultiByteToWideChar(CP_ACP, 0, ansi, 1, wide, 1) != 1) wide[0] = c;
  if (Utf16ToUtf8(wide, 1, utf8, 5) < 0) utf8[0] = '\0';
}

}  // namespace

bool IGraphicsWin::IsInputMessage(UINT msg) {
  return IsMouseMessage(msg) || msg == WM_DROPFILES || msg == WM_TOUCH || msg == WM_KEYDOWN || msg == WM_KEYUP;
}

LRESULT IGraphicsWin::OnInputMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // While the user works in the focused edit box, the editor's own input rests: a press in
  // the editor cancels the entry.
  if (mTextEntry.IsOpen() && mTextEntry.GetState() == WinTextEntry::kFocused) {
    if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN) {
      mTextEntry.SetState(WinTextEntry::kCancel);
      return 0;
    }
    return DefWindowProcA(hWnd, msg, wParam, lParam);
  }
  if (IsMouseMessage(msg)) {
    mPenOrTouch = (GetMessageExtraInfo() & kPenOrTouchMask) == kPenOrTouchSignature;
    if (mPenOrTouch) mCursorLocked = false;
  }
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (mPenOrTouch) return 0;  // touch arrives as WM_TOUCH
      return OnButtonDown(MouseState(wParam, lParam));
    // A middle press captured the pointer as the others do, so its release ends it too.
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: return OnButtonUp(MouseState(wParam, lParam));
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK: {
      if (mPenOrTouch) return 0;
      const IMouseState s = MouseState(wParam, lParam);
      if (OnMouseDblClick(s.x, s.y, s.ms)) SetCapture(hWnd);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (mPenOrTouch) return 0;
      return OnMouseMove(wParam, lParam);
    case WM_MOUSEWHEEL: return OnWheel(wParam, lParam);
    case WM_MOUSEHOVER: return OnMouseHover();
    case WM_MOUSELEAVE:
      HideTooltip();
      OnMouseOut();
      return 0;
    case WM_DROPFILES: return OnDropFiles(reinterpret_cast<HDROP>(wParam));
    case WM_TOUCH: return OnTouch(wParam, lParam);
    case WM_KEYDOWN:
    case WM_KEYUP: return OnKey(hWnd, msg, wParam, lParam);
    default: return DefWindowProcA(hWnd, msg, wParam, lParam);
  }
}

IMouseState IGraphicsWin::MouseState(WPARAM wParam, LPARAM lParam) {
  const float t = GetTotalScale();
  IMouseState s;
  s.x = mLastX = static_cast<float>(GET_X_LPARAM(lParam)) / t;
  s.y = mLastY = static_cast<float>(GET_Y_LPARAM(lParam)) / t;
  s.ms.L = (wParam & MK_LBUTTON) != 0;
  s.ms.R = (wParam & MK_RBUTTON) != 0;
  s.ms.S = (wParam & MK_SHIFT) != 0;
  s.ms.C = (wParam & MK_CONTROL) != 0;
  s.ms.A = (GetAsyncKeyState(VK_MENU) & 0x8000) != 0;
  return s;
}

// ---- Buttons.

LRESULT IGraphicsWin::OnButtonDown(const IMouseState& state) {
  HideTooltip();
  if (mTextEntry.IsOpen()) {
    mTextEntry.SetState(WinTextEntry::kCommit);  // a click beside the box confirms it
    return 0;
  }
  SetFocus(mPlugWnd);
  SetCapture(mPlugWnd);
  OnMouseDown({state});
  return 0;
}

LRESULT IGraphicsWin::OnButtonUp(const IMouseState& state) {
  ReleaseWindowCapture();
  OnMouseUp({state});
  return 0;
}

void IGraphicsWin::ReleaseWindowCapture() {
  if (GetCapture() != mPlugWnd) return;
  mReleasingCapture = true;
  ReleaseCapture();
  mReleasingCapture = false;
}

void IGraphicsWin::OnCaptureLost(HWND newOwner) {
  if (mReleasingCapture || newOwner == mPlugWnd || !GetCapturedControl(0)) return;
  IMouseState s;
  s.x = mLastX;
  s.y = mLastY;
  OnMouseUp({s});
}

// ---- Moves, hover and tooltips.

LRESULT IGraphicsWin::OnMouseMove(WPARAM wParam, LPARAM lParam) {
  const float lastX = mLastX;
  const float lastY = mLastY;
  IMouseState moved = MouseState(wParam, lParam);
  if (moved.ms.L || moved.ms.R) {
    // Drags belong to the press that took the capture; none while the edit box is open.
    if (GetCapture() != mPlugWnd || GetControlInTextEntry()) return 0;
    moved.dX = moved.x - lastX;
    moved.dY = moved.y - lastY;
    if (moved.dX != 0.f || moved.dY != 0.f) {
      OnMouseDrag({moved});
      // A locked cursor goes back where the drag began, so the next move measures from there.
      if (mCursorLocked) MoveMouseCursor(mHiddenCursorX, mHiddenCursorY);
    }
    return 0;
  }
  const bool overControl = IGraphics::OnMouseOver(moved.x, moved.y, moved.ms);
  const int idx = GetMouseOverIdx();
  if (overControl) {
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, mPlugWnd, HOVER_DEFAULT};
    if (TooltipsEnabled() && idx >= 0 && idx != mTooltipIdx) track.dwFlags |= TME_HOVER;
    TrackMouseEvent(&track);
  }
  if (idx != mTooltipIdx) {
    mTooltipIdx = idx;
    HideTooltip();
  }
  return 0;
}

LRESULT IGraphicsWin::OnMouseHover() {
  if (!mTooltipWnd || mTooltipIdx < 0 || mTooltipIdx >= NControls()) return 0;
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = mPlugWnd;
  tool.uId = reinterpret_cast<UINT_PTR>(mPlugWnd);
  tool.lpszText = const_cast<char*>(GetControl(mTooltipIdx)->GetTooltip());
  SendMessageA(mTooltipWnd, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  mTooltipShown = true;
  return 0;
}

void IGraphicsWin::HideTooltip() {
  if (!mTooltipShown) return;
  if (mTooltipWnd) SendMessageA(mTooltipWnd, TTM_POP, 0, 0);
  mTooltipShown = false;
}

// ---- Wheel and dropped files.

LRESULT IGraphicsWin::OnWheel(WPARAM wParam, LPARAM lParam) {
  if (mTextEntry.IsOpen()) {
    mTextEntry.SetState(WinTextEntry::kCancel);
    return 0;
  }
  // The position comes in screen pixels.
  RECT r;
  GetWindowRect(mPlugWnd, &r);
  const float t = GetTotalScale();
  IMouseMod mod;
  const WORD keys = GET_KEYSTATE_WPARAM(wParam);
  mod.L = (keys & MK_LBUTTON) != 0;
  mod.R = (keys & MK_RBUTTON) != 0;
  mod.S = (keys & MK_SHIFT) != 0;
  mod.C = (keys & MK_CONTROL) != 0;
  mod.A = (GetAsyncKeyState(VK_MENU) & 0x8000) != 0;
  // Whole notches only: a fine wheel's part-notch turns give 0.
  const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / kWheelNotch;
  OnMouseWheel(static_cast<float>(GET_X_LPARAM(lParam) - r.left) / t,
               static_cast<float>(GET_Y_LPARAM(lParam) - r.top) / t, mod, static_cast<float>(notches));
  return 0;
}

LRESULT IGraphicsWin::OnDropFiles(HDROP drop) {
  wchar_t path[MAX_PATH * 4] = {};
  char utf8[1024];
  POINT at{};
  if (DragQueryFileW(drop, 0, path, MAX_PATH * 4) > 0 && Utf16ToUtf8(path, -1, utf8, sizeof(utf8)) > 0 &&
      DragQueryPoint(drop, &at)) {
    const float t = GetTotalScale();
    OnDrop(utf8, static_cast<float>(at.x) / t, static_cast<float>(at.y) / t);
  }
  DragFinish(drop);  // the receiver frees the drop
  return 0;
}

// ---- Touch.

LRESULT IGraphicsWin::OnTouch(WPARAM wParam, LPARAM lParam) {
  const auto handle = reinterpret_cast<HTOUCHINPUT>(lParam);
  const UINT n = LOWORD(wParam);
  std::vector<TOUCHINPUT> inputs(n);
  if (n > 0 && GetTouchInputInfo(handle, n, inputs.data(), sizeof(TOUCHINPUT)))
    OnTouchInputs(inputs.data(), static_cast<int>(n));
  CloseTouchInputHandle(handle);
  return 0;
}

void IGraphicsWin::OnTouchInputs(const TOUCHINPUT* inputs, int n) {
  if (!mPlugWnd) return;
  const float t = GetTotalScale();
  WinTouchTracker::Lists lists;
  for (int i = 0; i < n; ++i) {
    const TOUCHINPUT& input = inputs[i];
    POINT p{TOUCH_COORD_TO_PIXEL(input.x), TOUCH_COORD_TO_PIXEL(input.y)};
    ScreenToClient(mPlugWnd, &p);
    IMouseState s;
    s.x = static_cast<float>(p.x) / t;
    s.y = static_cast<float>(p.y) / t;
    s.ms.mTouchID = static_cast<int64_t>(input.dwID);
    if (input.dwMask & TOUCHINPUTMASKF_CONTACTAREA)
      s.ms.mTouchRadius = static_cast<float>(TOUCH_COORD_TO_PIXEL(input.cxContact)) / t;
    mTouches.Add(input.dwFlags, s, lists);
  }
  if (!lists.mDown.empty()) OnMouseDown(lists.mDown);
  if (!lists.mUp.empty()) OnMouseUp(lists.mUp);
  if (!lists.mDrag.empty()) OnMouseDrag(lists.mDrag);
}

bool IGraphicsWin::PlatformSupportsMultiTouch() const { return (GetSystemMetrics(SM_DIGITIZER) & NID_READY) != 0; }

// ---- Keys.

LRESULT IGraphicsWin::OnKey(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  float x = 0.f, y = 0.f;
  GetMouseLocation(x, y);
  BYTE keyboard[256] = {};
  GetKeyboardState(keyboard);
  WORD chars[2] = {};
  const int n = ToAscii(static_cast<UINT>(wParam), static_cast<UINT>((lParam >> 16) & 0xFF), keyboard, chars, 0);
  bool handled = false;
  // Two characters are a dead key that did not combine: not a key the editor can use.
  if (n <= 1) {
    char text[5] = {};
    if (n == 1) AnsiCharToUtf8(static_cast<unsigned char>(chars[0] & 0xFF), text);
    const IKeyPress key(text, static_cast<int>(wParam), KeyIsDown(VK_SHIFT), KeyIsDown(VK_CONTROL),
                        KeyIsDown(VK_MENU));
    handled = msg == WM_KEYDOWN ? OnKeyDown(x, y, key) : OnKeyUp(x, y, key);
  }
  if (handled) return 0;
  // The host's shortcuts (its transport's space bar ...) work while the editor has the focus.
  HWND root = GetAncestor(hWnd, GA_ROOT);
  if (root && root != hWnd) SendMessageA(root, msg, wParam, lParam);
  return DefWindowProcA(hWnd, msg, wParam, lParam);
}

// ---- Cursor.

void IGraphicsWin::GetMouseLocation(float& x, float& y) const {
  POINT p{};
  GetCursorPos(&p);
  if (mPlugWnd) ScreenToClient(mPlugWnd, &p);
  const float t = GetTotalScale();
  x = static_cast<float>(p.x) / t;
  y = static_cast<float>(p.y) / t;
}

void IGraphicsWin::PlatformHideMouseCursor(bool hide, bool lock) {
  if (hide) {
    mHiddenCursorX = mLastX;
    mHiddenCursorY = mLastY;
    ShowCursor(FALSE);
    mCursorLocked = lock && !mPenOrTouch;
  } else {
    if (mCursorLocked) MoveMouseCursor(mHiddenCursorX, mHiddenCursorY);
    ShowCursor(TRUE);
    mCursorLocked = false;
  }
}

void IGraphicsWin::MoveMouseCursor(float x, float y) {
  if (mPenOrTouch || !mPlugWnd) return;
  const float t = GetTotalScale();
  POINT p{static_cast<LONG>(std::lround(x * t)), static_cast<LONG>(std::lround(y * t))};
  ClientToScreen(mPlugWnd, &p);
  if (!SetCursorPos(p.x, p.y)) return;
  GetCursorPos(&p);
  ScreenToClient(mPlugWnd, &p);
  mLastX = mHiddenCursorX = static_cast<float>(p.x) / t;
  mLastY = mHiddenCursorY = static_cast<float>(p.y) / t;
}

int IGraphicsWin::SetMouseCursor(int cursorType) {
  const int previous = IGraphics::SetMouseCursor(cursorType);
  const bool known = cursorType >= 0 && cursorType < static_cast<int>(std::size(kSystemCursors));
  SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(kSystemCursors[known ? cursorType : 0])));
  return previous;
}

// ---- The text edit box.

void IGraphicsWin::CreatePlatformTextEntry(int paramIdx, const ITextStyle& text, const IBounds& bounds, int length,
                                           const char* str) {
  if (!mPlugWnd || mTextEntry.IsOpen()) return;
  IGEditorDelegate* delegate = GetDelegate();
  const iplug::IParam* param = delegate && delegate->IsValidParamIdx(paramIdx) ? delegate->GetParam(paramIdx) : nullptr;
  mTextEntry.Open(mPlugWnd, Instance(), param, text, bounds, GetTotalScale(), length, str);
}

}  // namespace igraphics
