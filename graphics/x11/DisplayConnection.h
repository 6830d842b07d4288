#pragma once
#include <X11/Xlib.h>

namespace igraphics {

// Opens a connection to an X display (the one DISPLAY names for null). An X server whose last
// client has just gone resets itself and refuses new connections for a moment ("connection
// reset by peer"): a bare server (Xvfb) between two editors, or just after a probe's
// connection closed, would otherwise fail to open an editor at random, the more often the
// slower the machine. A refused connection is therefore tried again, every kRetrySleepMs for
// up to kRetryMs; null when the display still refuses, or when no display is named.
//
// Threads: any; the connection belongs to the caller's thread.
class DisplayConnection {
public:
  static constexpr int kRetryMs = 1000;
  static constexpr int kRetrySleepMs = 10;

  static Display* Open(const char* name = nullptr);
};

}  // namespace igraphics
