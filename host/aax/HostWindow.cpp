#include "host/aax/HostWindow.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace aaxhost {

#ifdef _WIN32

namespace {

constexpr const char* kClassName = "TollenbrookHostWindow";

HINSTANCE ThisModule() { return GetModuleHandleA(nullptr); }

}  // namespace

struct HostWindowAccess {
  static LRESULT CALLBACK Proc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
      auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (msg == WM_DESTROY && self) {
      self->mHandle = nullptr;  // closed by the user (or the system): the editor's parent is gone
      SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
    }
    return DefWindowProcA(hWnd, msg, wParam, lParam);
  }
};

bool HostWindow::Supported() { return true; }

std::unique_ptr<HostWindow> HostWindow::Create(const char* title, int width, int height, std::string& error) {
  static const bool registered = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &HostWindowAccess::Proc;
    wc.hInstance = ThisModule();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc) != 0;
  }();
  if (!registered) {
    error = "the host window's class cannot be registered";
    return nullptr;
  }
  std::unique_ptr<HostWindow> window(new HostWindow);
  constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  RECT r{0, 0, width, height};
  AdjustWindowRect(&r, kStyle, FALSE);
  HWND hwnd = CreateWindowExA(0, kClassName, title, kStyle, 40, 40, r.right - r.left, r.bottom - r.top, nullptr,
                              nullptr, ThisModule(), window.get());
  if (!hwnd) {
    error = "the host window cannot be created (no window system?)";
    return nullptr;
  }
  window->mHandle = hwnd;
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  return window;
}

HostWindow::~HostWindow() {
  if (mHandle) {
    HWND hwnd = static_cast<HWND>(mHandle);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
  }
}

bool HostWindow::SetClientSize(int width, int height) {
  if (!mHandle || width <= 0 || height <= 0) return false;
  HWND hwnd = static_cast<HWND>(mHandle);
  RECT r{0, 0, width, height};
  AdjustWindowRect(&r, static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)), FALSE);
  return SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                      SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

bool HostWindow::GetClientSize(int& width, int& height) const {
  width = height = 0;
  RECT r;
  if (!mHandle || !GetClientRect(static_cast<HWND>(mHandle), &r)) return false;
  width = r.right - r.left;
  height = r.bottom - r.top;
  return true;
}

bool HostWindow::PumpMessages(int ms) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (!mHandle) return false;
    if (static_cast<int>(GetTickCount() - start) >= ms) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (true);
  return mHandle != nullptr;
}

#else

struct HostWindowAccess {};

bool HostWindow::Supported() { return false; }

std::unique_ptr<HostWindow> HostWindow::Create(const char*, int, int, std::string& error) {
  error = "the editor needs a window, and this build of the host has no window system yet (Windows only)";
  return nullptr;
}

HostWindow::~HostWindow() = default;
bool HostWindow::SetClientSize(int, int) { return false; }
bool HostWindow::GetClientSize(int& width, int& height) const {
  width = height = 0;
  return false;
}
bool HostWindow::PumpMessages(int) { return false; }

#endif

}  // namespace aaxhost
