#include "graphics/x11/VBlankThread.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xpresent.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>

#include "graphics/x11/DisplayConnection.h"
#include "graphics/x11/X11Errors.h"

namespace igraphics {

namespace {

using Clock = std::chrono::steady_clock;

// A report later than this counts as none: the window is unmapped, gone, or the server's
// clock stopped.
constexpr int kVBlankTimeoutMs = 100;
constexpr int kRetryDisplayMs = 1000;
// A report that comes at once is no wait (a server without a real clock behind it); after
// this many in a row the thread paces itself by sleeping.
constexpr int kInstantWaitsToGiveUp = 8;
constexpr double kInstantWaitMs = 1.0;

double MsSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

}  // namespace

bool VBlankThread::Start(const char* displayName, unsigned long window) {
  Stop();
  Display* display = DisplayConnection::Open(displayName);
  if (!display) return false;
  if (pipe2(mWakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    XCloseDisplay(display);
    return false;
  }
  mWindow = window;
  mMessage = XInternAtom(display, kMessageName, False);
  mStop.store(false, std::memory_order_release);
  mThread = std::thread([this, display] { Run(display); });
  return true;
}

void VBlankThread::Stop() {
  if (!mThread.joinable()) return;
  mStop.store(true, std::memory_order_release);
  const char wake = 1;
  [[maybe_unused]] const ssize_t written = write(mWakePipe[1], &wake, 1);
  mThread.join();
  close(mWakePipe[0]);
  close(mWakePipe[1]);
  mWakePipe[0] = mWakePipe[1] = -1;
  mHasDisplayWait.store(false, std::memory_order_release);
}

bool VBlankThread::Sleep(int ms) {
  pollfd wake{mWakePipe[0], POLLIN, 0};
  poll(&wake, 1, ms);
  return !mStop.load(std::memory_order_acquire);
}

void VBlankThread::Tick(Display* display) {
  const int n = mCounter.fetch_add(1, std::memory_order_acq_rel) + 1;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = mWindow;
  event.xclient.message_type = mMessage;
  event.xclient.format = 32;
  event.xclient.data.l[0] = n;
  // With no event mask the message goes to the client that made the window: the editor.
  XSendEvent(display, mWindow, False, NoEventMask, &event);
  XFlush(display);
}

bool VBlankThread::WaitForVBlank(Display* display, int presentOpcode) {
  XPresentNotifyMSC(display, mWindow, ++mSerial, 0, 1, 0);  // the next vertical blank
  XFlush(display);
  const auto start = Clock::now();
  for (;;) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type != GenericEvent || event.xcookie.extension != presentOpcode) continue;
      if (!XGetEventData(display, &event.xcookie)) continue;
      const bool done = event.xcookie.evtype == PresentCompleteNotify &&
                        static_cast<XPresentCompleteNotifyEvent*>(event.xcookie.data)->serial_number == mSerial;
      XFreeEventData(display, &event.xcookie);
      if (done) return true;
    }
    const int left = kVBlankTimeoutMs - static_cast<int>(MsSince(start));
    if (left <= 0 || mStop.load(std::memory_order_acquire)) return false;
    pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {mWakePipe[0], POLLIN, 0}};
    poll(fds, 2, left);
  }
}

void VBlankThread::Run(Display* display) {
  X11Errors::Register(display);  // the window may go before the thread does
  int opcode = 0, event = 0, error = 0;
  const bool present = XPresentQueryExtension(display, &opcode, &event, &error);
  if (present) XPresentSelectInput(display, mWindow, PresentCompleteNotifyMask);

  bool displayWait = present;
  auto lastFailure = Clock::now();
  int instantWaits = 0;
  while (!mStop.load(std::memory_order_acquire)) {
    if (!displayWait && present && instantWaits < kInstantWaitsToGiveUp && MsSince(lastFailure) >= kRetryDisplayMs)
      displayWait = true;  // try the display again
    if (displayWait) {
      const auto before = Clock::now();
      if (WaitForVBlank(display, opcode)) {
        instantWaits = MsSince(before) < kInstantWaitMs ? instantWaits + 1 : 0;
        if (instantWaits >= kInstantWaitsToGiveUp) displayWait = false;
      } else {
        displayWait = false;
        lastFailure = Clock::now();
      }
    }
    mHasDisplayWait.store(displayWait, std::memory_order_release);
    if (!displayWait && !Sleep(kSleepMs)) break;
    if (mStop.load(std::memory_order_acquire)) break;
    Tick(display);
  }
  if (present) XPresentSelectInput(display, mWindow, 0);
  XSync(display, False);
  X11Errors::Unregister(display);
  XCloseDisplay(display);
}

}  // namespace igraphics
