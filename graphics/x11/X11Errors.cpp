#include "graphics/x11/X11Errors.h"

#include <atomic>
#include <mutex>

namespace igraphics {

namespace {

struct Slot {
  std::atomic<Display*> mDisplay{nullptr};
  std::atomic<int> mErrors{0};
};

Slot gSlots[X11Errors::kMaxConnections];
std::mutex gInstallLock;
int gRegistered = 0;  // guarded by gInstallLock
XErrorHandler gPrevious = nullptr;

Slot* Find(Display* display) {
  for (Slot& s : gSlots)
    if (s.mDisplay.load(std::memory_order_acquire) == display) return &s;
  return nullptr;
}

int Handler(Display* display, XErrorEvent* event) {
  if (Slot* s = Find(display)) {
    s->mErrors.fetch_add(1, std::memory_order_relaxed);
    return 0;
  }
  return gPrevious ? gPrevious(display, event) : 0;
}

}  // namespace

bool X11Errors::Register(Display* display) {
  if (!display) return false;
  std::lock_guard lock(gInstallLock);
  for (Slot& s : gSlots) {
    Display* expected = nullptr;
    if (s.mDisplay.compare_exchange_strong(expected, display, std::memory_order_acq_rel)) {
      s.mErrors.store(0, std::memory_order_relaxed);
      if (gRegistered++ == 0) gPrevious = XSetErrorHandler(&Handler);
      return true;
    }
  }
  return false;
}

void X11Errors::Unregister(Display* display) {
  std::lock_guard lock(gInstallLock);
  Slot* s = display ? Find(display) : nullptr;
  if (!s) return;
  s->mDisplay.store(nullptr, std::memory_order_release);
  if (--gRegistered > 0) return;
  // Put the earlier handler back, unless someone installed another one after ours: that one
  // stays.
  const XErrorHandler current = XSetErrorHandler(gPrevious);
  if (current != &Handler) XSetErrorHandler(current);
  gPrevious = nullptr;
}

int X11Errors::Count(Display* display) {
  const Slot* s = Find(display);
  return s ? s->mErrors.load(std::memory_order_relaxed) : 0;
}

}  // namespace igraphics
