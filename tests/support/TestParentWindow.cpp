#include "support/TestParentWindow.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace tbtest {

void* TestParentWindow() {
#ifdef _WIN32
  static HWND window = CreateWindowExA(0, "STATIC", "Tollenbrook test host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN |
                                                                                 WS_VISIBLE,
                                       0, 0, 800, 1200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  return window;
#else
  return nullptr;
#endif
}

}  // namespace tbtest
