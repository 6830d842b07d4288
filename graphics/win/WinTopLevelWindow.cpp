#include "graphics/win/WinTopLevelWindow.h"

namespace igraphics {

namespace {

std::wstring ClassNameOf(HWND window) {
  wchar_t name[256] = {};
  const int n = GetClassNameW(window, name, 256);
  return std::wstring(name, n > 0 ? static_cast<size_t>(n) : 0);
}

}  // namespace

HWND WinTopLevelWindow::Find(HWND parent) {
  if (parent && IsWindow(parent)) {
    HWND top = parent;
    while (HWND up = GetParent(top)) top = up;
    mWindow = top;
    mClassName = ClassNameOf(top);
    return mWindow;
  }
  if (mWindow && IsWindow(mWindow)) return mWindow;
  mWindow = nullptr;
  if (!mClassName.empty()) EnumWindows(&WinTopLevelWindow::OnTopLevelWindow, reinterpret_cast<LPARAM>(this));
  return mWindow;
}

BOOL CALLBACK WinTopLevelWindow::OnTopLevelWindow(HWND window, LPARAM param) {
  auto* self = reinterpret_cast<WinTopLevelWindow*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId() || ClassNameOf(window) != self->mClassName) return TRUE;
  self->mWindow = window;
  return FALSE;
}

}  // namespace igraphics
