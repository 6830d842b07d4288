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
// The handler installed before ours. Written under gInstallLock, read by the handler on
// whichever thread Xlib reports an error on: atomic, released by the writer and acquired by
// the reader, so a reader sees the handler whole.
std::atomic<XErrorHandler> gPrevious{nullptr};
static_assert(std::atomic<XErrorHandler>::is_always_lock_free, "the error handler reads it without a lock");

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
  const XErrorHandler previous = gPrevious.load(std::memory_order_acquire);
  return previous ? previous(display, event) : 0;
}

}  // namespace

bool X11Errors::Register(Display* display) {
  if (!display) return false;
  std::lock_guard lock(gInstallLock);
  for (Slot& s : gSlots) {
    Display* expected = nullptr;
    if (s.mDisplay.compare_exchange_strong(expected, display, std::memory_order_acq_rel)) {
      s.mErrors.store(0, std::memory_order_relaxed);
      if (gRegistered++ == 0) gPrevious.store(XSetErrorHandler(&Handler), std::memory_order_release);
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
  // gPrevious itself stays: a thread that took our handler just before this still hands
  // its error on to the right one.
  const XErrorHandler current = XSetErrorHandler(gPrevious.load(std::memory_order_relaxed));
  if (current != &Handler) XSetErrorHandler(current);
}

int X11Errors::Count(Display* display) {
  const Slot* s = Find(display);
  return s ? s->mErrors.load(std::memory_order_relaxed) : 0;
}

}  // namespace igraphics
