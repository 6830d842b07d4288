#include "graphics/win/WinTextEntry.h"

#include "graphics/TextEntryFilter.h"
#include "graphics/Utf16Text.h"
#include "graphics/win/WinFontCaches.h"

namespace igraphics {

namespace {

// The font of the style at the editor's scale: the platform font cached when the style's
// font was loaded, else the system's interface face, so the box never shows a stray size.
HFONT MakeFont(const ITextStyle& style, float scale) {
  LOGFONTW lf{};
  if (!WinFontCaches::Instance().GetCachedLogFont(style.mFont, lf))
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  lf.lfHeight = static_cast<LONG>(scale * style.mSize);
  lf.lfWidth = 0;
  return CreateFontIndirectW(&lf);
}

DWORD AlignmentStyle(int align) {
  switch (align) {
    case kAlignNear: return ES_LEFT;
    case kAlignFar: return ES_RIGHT;
    default: return ES_CENTER;
  }
}

COLORREF ToColorRef(const IColor& c) {
  return RGB(static_cast<BYTE>(c.R), static_cast<BYTE>(c.G), static_cast<BYTE>(c.B));
}

}  // namespace

bool WinTextEntry::Open(HWND parent, HINSTANCE instance, const iplug::IParam* param, const ITextStyle& style,
                        const IBounds& bounds, float scale, int maxLength, const char* text) {
  if (mWnd || !parent) return false;
  wchar_t initial[kMaxInitialUnits];
  Utf8ToUtf16(text, initial, kMaxInitialUnits);  // too long: the box starts empty
  const int w = static_cast<int>(bounds.W() * scale);
  const int h = static_cast<int>(bounds.H() * scale);
  const DWORD windowStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | ES_MULTILINE |
                            ES_AUTOHSCROLL | AlignmentStyle(style.mAlign);
  mWnd = CreateWindowExW(0, L"EDIT", initial, windowStyle, static_cast<int>(bounds.L * scale),
                         static_cast<int>(bounds.T * scale), w + 1, h + 1, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlID)), instance, nullptr);
  if (!mWnd) return false;
  mParent = parent;
  mParam = param;
  mStyle = style;
  mBounds = bounds;
  mState = kIdle;
  mFont = MakeFont(style, scale);
  SendMessageW(mWnd, EM_LIMITTEXT, static_cast<WPARAM>(maxLength > 0 ? maxLength : 0), 0);
  SendMessageW(mWnd, WM_SETFONT, reinterpret_cast<WPARAM>(mFont), 0);
  SendMessageW(mWnd, EM_SETSEL, 0, -1);
  if (style.mVAlign == kVAlignMiddle) {
    RECT text{0, static_cast<LONG>((static_cast<float>(h) - scale * style.mSize) / 2.f), w + 1, h + 1};
    SendMessageW(mWnd, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&text));
  }
  // Focused before the box listens: opening is not the user focusing it.
  SetFocus(mWnd);
  SetWindowLongPtrW(mWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  mSystemProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(mWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WinTextEntry::EditProc)));
  return true;
}

void WinTextEntry::Close() {
  if (mWnd) {
    const bool hadFocus = GetFocus() == mWnd;
    if (mSystemProc) SetWindowLongPtrW(mWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mSystemProc));
    SetWindowLongPtrW(mWnd, GWLP_USERDATA, 0);
    DestroyWindow(mWnd);
    // Keys go on reaching the editor (and through it the host's shortcuts).
    if (hadFocus && IsWindow(mParent)) SetFocus(mParent);
  }
  if (mFont) DeleteObject(mFont);
  mWnd = nullptr;
  mParent = nullptr;
  mSystemProc = nullptr;
  mFont = nullptr;
  mParam = nullptr;
  mState = kIdle;
}

std::string WinTextEntry::ReadText() const {
  if (!mWnd) return {};
  wchar_t text[kMaxReadUnits + 1] = {};
  const auto n = SendMessageW(mWnd, WM_GETTEXT, kMaxReadUnits + 1, reinterpret_cast<LPARAM>(text));
  return ToUtf8(text, static_cast<int>(n));
}

LRESULT WinTextEntry::Colour(HDC dc) const {
  const COLORREF background = ToColorRef(mStyle.mTextEntryBGColor);
  SetBkColor(dc, background);
  SetDCBrushColor(dc, background);
  SetTextColor(dc, ToColorRef(mStyle.mTextEntryFGColor));
  SetBkMode(dc, OPAQUE);
  return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}

LRESULT CALLBACK WinTextEntry::EditProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<WinTextEntry*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(wnd, msg, wParam, lParam);
  return self->HandleMessage(wnd, msg, wParam, lParam);
}

LRESULT WinTextEntry::HandleMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (mBeforeMessage) mBeforeMessage();
  switch (msg) {
    // The system's box still hears of its focus (its caret comes and goes with it).
    case WM_SETFOCUS: mState = kFocused; break;
    case WM_KILLFOCUS: mState = kCommit; break;
    case WM_GETDLGCODE: {
      LRESULT code = CallWindowProcW(mSystemProc, wnd, msg, wParam, lParam);
      const auto* queried = reinterpret_cast<const MSG*>(lParam);
      if (queried && queried->message == WM_KEYDOWN && queried->wParam == VK_RETURN) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        mState = kCommit;
        return 0;
      }
      if (wParam == VK_ESCAPE) {
        mState = kCancel;
        return 0;
      }
      break;
    case WM_CHAR:
      if (!TextEntryFilter::Accepts(mParam, static_cast<char32_t>(wParam))) return 0;
      break;
    case WM_COMMAND:
      if (HIWORD(wParam) == 1) {
        mState = kCommit;
        return 0;
      }
      break;
    default: break;
  }
  return CallWindowProcW(mSystemProc, wnd, msg, wParam, lParam);
}

}  // namespace igraphics
