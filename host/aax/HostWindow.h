#pragma once
#include <memory>
#include <string>

namespace aaxhost {

// The host's own top-level window that a plug-in's editor opens inside, as a real host has:
// on Windows a Win32 window whose client area is the editor's room; on Linux an X window (on
// a connection of the host's own) whose id the editor takes as its parent. Closing it by the
// window manager hides it at once; the window itself goes with this object, after the host
// has closed the editor inside it. Keys the editor does not use reach this window and go no
// further (this host has no shortcuts). Host main thread (the window's thread).
class HostWindow {
public:
  // Whether this build can make one at all (Windows, and Linux with an X display).
  static bool Supported();
  // A window with a client area of width x height pixels, or null with `error` set. A hidden
  // one (`shown` false) is a parent for an editor nobody looks at, as a validator opens it.
  static std::unique_ptr<HostWindow> Create(const char* title, int width, int height, std::string& error,
                                            bool shown = true);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  // The native handle (an HWND on Windows, an X window id on Linux); null once the user
  // closed the window.
  void* Handle() const { return mHandle; }
  bool IsOpen() const { return mHandle != nullptr; }
  // Resizes the client area to width x height pixels; false when the window is gone or refuses.
  bool SetClientSize(int width, int height);
  bool GetClientSize(int& width, int& height) const;
  // Handles this thread's pending window messages (on Windows the editor's timers and paints
  // too) for about `ms` milliseconds, or until the window is closed. False once it is closed.
  bool PumpMessages(int ms);

private:
  HostWindow() = default;
  friend struct HostWindowAccess;
  void* mHandle = nullptr;
  void* mDisplay = nullptr;     // Linux: the host's X connection
  unsigned long mXWindow = 0;   // Linux: the window, kept after the user closed it
  unsigned long mDeleteAtom = 0;
};

}  // namespace aaxhost
