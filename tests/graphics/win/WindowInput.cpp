#include "tests/graphics/win/WindowInput.h"

namespace wintest {

namespace {

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)), static_cast<WORD>(static_cast<SHORT>(y))); }

constexpr const char* kRecorderProperty = "TollenbrookKeyRecorder";

}  // namespace

void Press(HWND window, int x, int y, WPARAM keys) { SendMessageW(window, WM_LBUTTONDOWN, keys | MK_LBUTTON, At(x, y)); }
void DragTo(HWND window, int x, int y, WPARAM keys) { SendMessageW(window, WM_MOUSEMOVE, keys | MK_LBUTTON, At(x, y)); }
void Release(HWND window, int x, int y, WPARAM keys) { SendMessageW(window, WM_LBUTTONUP, keys, At(x, y)); }

void Click(HWND window, int x, int y) {
  Press(window, x, y);
  Release(window, x, y);
}

void DoubleClick(HWND window, int x, int y) {
  Click(window, x, y);
  SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, At(x, y));
  Release(window, x, y);
}

void Hover(HWND window, int x, int y) { SendMessageW(window, WM_MOUSEMOVE, 0, At(x, y)); }

void Wheel(HWND window, int x, int y, int delta, WPARAM keys) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<WORD>(keys), static_cast<WORD>(static_cast<SHORT>(delta))),
               At(p.x, p.y));
}

void Key(HWND window, UINT message, WPARAM vk) {
  const UINT scan = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC);
  LPARAM lParam = 1 | static_cast<LPARAM>(scan << 16);
  if (message == WM_KEYUP) lParam |= static_cast<LPARAM>(0xC0000000u);
  SendMessageW(window, message, vk, lParam);
}

void Char(HWND window, wchar_t c) { SendMessageW(window, WM_CHAR, c, 1); }

int CursorShowCount() {
  const int count = ShowCursor(TRUE) - 1;
  ShowCursor(FALSE);
  return count;
}

KeyRecorder::KeyRecorder(HWND window) : mWindow(window) {
  SetPropA(window, kRecorderProperty, this);
  mOriginal = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
}

KeyRecorder::~KeyRecorder() {
  if (!IsWindow(mWindow)) return;
  SetWindowLongPtrA(mWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mOriginal));
  RemovePropA(mWindow, kRecorderProperty);
}

LRESULT CALLBACK KeyRecorder::Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<KeyRecorder*>(GetPropA(window, kRecorderProperty));
  if (msg == WM_KEYDOWN || msg == WM_KEYUP)
    self->mKeys.push_back((msg == WM_KEYDOWN ? "down " : "up ") + std::to_string(wParam));
  return CallWindowProcA(self->mOriginal, window, msg, wParam, lParam);
}

}  // namespace wintest
