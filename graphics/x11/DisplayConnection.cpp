#include "graphics/x11/DisplayConnection.h"

#include <chrono>
#include <thread>

namespace igraphics {

Display* DisplayConnection::Open(const char* name) {
  const char* resolved = XDisplayName(name);
  if (!resolved || !*resolved) return nullptr;  // nothing to retry
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(kRetryMs);
  for (;;) {
    if (Display* display = XOpenDisplay(name)) return display;
    if (std::chrono::steady_clock::now() >= giveUp) return nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(kRetrySleepMs));
  }
}

}  // namespace igraphics
