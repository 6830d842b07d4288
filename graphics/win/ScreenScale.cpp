#include "graphics/win/ScreenScale.h"

namespace igraphics {

namespace {

using GetDpiForWindowProc = UINT(WINAPI*)(HWND);

GetDpiForWindowProc LookUpGetDpiForWindow() {
  HMODULE user32 = LoadLibraryW(L"user32.dll");
  if (!user32) return nullptr;
  return reinterpret_cast<GetDpiForWindowProc>(reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
}

}  // namespace

float ScaleForWindow(HWND window) {
  static const GetDpiForWindowProc getDpi = LookUpGetDpiForWindow();
  if (!getDpi) return 1.f;
  const UINT dpi = getDpi(window);
  if (dpi == 0 || dpi == USER_DEFAULT_SCREEN_DPI) return 1.f;
  return static_cast<float>(dpi) / static_cast<float>(USER_DEFAULT_SCREEN_DPI);
}

}  // namespace igraphics
