#include "host/aax/HostWindow.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <chrono>
#include <cstdint>
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
    // Keys the editor passes on (those it does not use) end here: this host has no shortcuts
    // of its own, and as the top-level window it has no one further to pass them to.
    return DefWindowProcA(hWnd, msg, wParam, lParam);
  }
};

bool HostWindow::Supported() { return true; }

std::unique_ptr<HostWindow> HostWindow::Create(const char* title, int width, int height, std::string& error,
                                               bool shown) {
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
  if (!shown) return window;
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

struct HostWindowAccess {
  static Display* XDisplay(const HostWindow& w) { return static_cast<Display*>(w.mDisplay); }
};

bool HostWindow::Supported() { return true; }

std::unique_ptr<HostWindow> HostWindow::Create(const char* title, int width, int height, std::string& error,
                                               bool shown) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    error = "no X display to open the editor's window on (DISPLAY is not set, or the display refuses the connection)";
    return nullptr;
  }
  std::unique_ptr<HostWindow> window(new HostWindow);
  window->mDisplay = display;
  const int screen = DefaultScreen(display);
  const Window w = XCreateSimpleWindow(display, RootWindow(display, screen), 40, 40, static_cast<unsigned>(width),
                                       static_cast<unsigned>(height), 0, BlackPixel(display, screen),
                                       WhitePixel(display, screen));
  window->mXWindow = w;
  Atom deleteAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
  window->mDeleteAtom = deleteAtom;
  XSetWMProtocols(display, w, &deleteAtom, 1);
  XStoreName(display, w, title);
  XSelectInput(display, w, StructureNotifyMask);
  if (shown) XMapWindow(display, w);
  XSync(display, False);
  window->mHandle = reinterpret_cast<void*>(static_cast<uintptr_t>(w));
  return window;
}

HostWindow::~HostWindow() {
  Display* display = HostWindowAccess::XDisplay(*this);
  if (!display) return;
  XDestroyWindow(display, mXWindow);
  XCloseDisplay(display);
}

bool HostWindow::SetClientSize(int width, int height) {
  if (!mHandle || width <= 0 || height <= 0) return false;
  Display* display = HostWindowAccess::XDisplay(*this);
  XResizeWindow(display, mXWindow, static_cast<unsigned>(width), static_cast<unsigned>(height));
  XFlush(display);
  return true;
}

bool HostWindow::GetClientSize(int& width, int& height) const {
  width = height = 0;
  if (!mHandle) return false;
  Window root = 0;
  int x = 0, y = 0;
  unsigned int w = 0, h = 0, border = 0, depth = 0;
  if (!XGetGeometry(HostWindowAccess::XDisplay(*this), mXWindow, &root, &x, &y, &w, &h, &border, &depth)) return false;
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

bool HostWindow::PumpMessages(int ms) {
  Display* display = HostWindowAccess::XDisplay(*this);
  if (!display) return false;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  do {
    while (mHandle && XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == ClientMessage && static_cast<unsigned long>(event.xclient.data.l[0]) == mDeleteAtom) {
        XUnmapWindow(display, mXWindow);  // closed by the user: gone from the screen at once
        XFlush(display);
        mHandle = nullptr;
      }
    }
    if (!mHandle) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(left.count()));
  } while (true);
  return mHandle != nullptr;
}

#endif

}  // namespace aaxhost
