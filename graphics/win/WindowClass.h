#pragma once
#include "graphics/win/WinInclude.h"

namespace igraphics {

// The editor windows' class "IPlugWndClass": registered with the first open editor window of
// the process and unregistered with the last, counted process-wide.
// UI thread (every editor window lives on the host's user-interface thread).
class WindowClass {
public:
  static constexpr const char* kName = "IPlugWndClass";

  // Counts one more window; registers the class when it is the first. False (and nothing
  // counted) when the class cannot be registered.
  static bool Acquire(HINSTANCE instance, WNDPROC proc);
  // Counts one window less; unregisters the class when none remains.
  static void Release(HINSTANCE instance);
  // Editor windows counted now.
  static int Users();
};

}  // namespace igraphics
