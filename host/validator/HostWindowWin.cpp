#include <windows.h>

#include "host/validator/HostWindow.h"

namespace tbvalidate {
namespace {
constexpr wchar_t kClassName[] = L"TollenbrookValidatorHost";

ATOM RegisterHostClass() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClassName;
  return RegisterClassW(&wc);
}
}  // namespace

HostWindow::HostWindow() {
  static const ATOM registered = RegisterHostClass();
  if (!registered) return;
  mHandle = CreateWindowExW(0, kClassName, L"validate", WS_OVERLAPPEDWINDOW, 0, 0, 800, 1200, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
}

HostWindow::~HostWindow() {
  if (mHandle) DestroyWindow(static_cast<HWND>(mHandle));
  PumpMessages();
}

void HostWindow::PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace tbvalidate
