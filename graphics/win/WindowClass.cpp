#include "graphics/win/WindowClass.h"

namespace igraphics {

namespace {
// Changed on the user-interface thread only, like the windows it counts.
int gUsers = 0;
}  // namespace

bool WindowClass::Acquire(HINSTANCE instance, WNDPROC proc) {
  if (gUsers == 0) {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS | CS_OWNDC;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = kName;
    if (!RegisterClassA(&wc)) return false;
  }
  ++gUsers;
  return true;
}

void WindowClass::Release(HINSTANCE instance) {
  if (gUsers <= 0) return;
  if (--gUsers == 0) UnregisterClassA(kName, instance);
}

int WindowClass::Users() { return gUsers; }

}  // namespace igraphics
