#include "host/cli/VST3RunLoop.h"

#include <algorithm>

#ifndef _WIN32
#include <poll.h>
#endif

namespace tbhost {
namespace {

using Clock = std::chrono::steady_clock;
// A timer asked for no interval still leaves the loop room to breathe.
constexpr std::chrono::milliseconds kShortestInterval{1};

VST3RunLoop& Of(void* self) { return *static_cast<VST3RunLoop*>(self); }

v3_result V3_API RegisterEventHandler(void* self, v3_event_handler** handler, int fd) {
  if (!handler || fd < 0) return V3_INVALID_ARG;
  v3_cpp_obj_ref(handler);
  Of(self).fds.push_back({handler, fd});
  ++Of(self).generation;
  return V3_OK;
}

v3_result V3_API UnregisterEventHandler(void* self, v3_event_handler** handler) {
  VST3RunLoop& loop = Of(self);
  const auto it = std::find_if(loop.fds.begin(), loop.fds.end(), [&](const auto& h) { return h.handler == handler; });
  if (it == loop.fds.end()) return V3_INVALID_ARG;
  loop.fds.erase(it);
  ++loop.generation;
  v3_cpp_obj_unref(handler);
  return V3_OK;
}

v3_result V3_API RegisterTimer(void* self, v3_timer_handler** handler, uint64_t ms) {
  if (!handler) return V3_INVALID_ARG;
  v3_cpp_obj_ref(handler);
  const auto interval = std::max(kShortestInterval, std::chrono::milliseconds(static_cast<int64_t>(ms)));
  Of(self).timers.push_back({handler, interval, Clock::now() + interval});
  ++Of(self).generation;
  return V3_OK;
}

v3_result V3_API UnregisterTimer(void* self, v3_timer_handler** handler) {
  VST3RunLoop& loop = Of(self);
  const auto it =
      std::find_if(loop.timers.begin(), loop.timers.end(), [&](const auto& t) { return t.handler == handler; });
  if (it == loop.timers.end()) return V3_INVALID_ARG;
  loop.timers.erase(it);
  ++loop.generation;
  v3_cpp_obj_unref(handler);
  return V3_OK;
}

}  // namespace

const VST3RunLoop::Table VST3RunLoop::kTable{
    VST3HostObject<VST3RunLoop>::kUnknown,
    {&RegisterEventHandler, &UnregisterEventHandler, &RegisterTimer, &UnregisterTimer}};

// What is still registered when the view is gone is given back.
VST3RunLoop::~VST3RunLoop() {
  for (const FdHandler& h : fds) v3_cpp_obj_unref(h.handler);
  for (const Timer& t : timers) v3_cpp_obj_unref(t.handler);
}

// A handler may unregister itself or others: each walk stops when the lists change.
int VST3RunLoop::RunDueTimers() {
  int calls = 0;
  const uint64_t at = generation;
  const Clock::time_point now = Clock::now();
  for (size_t i = 0; i < timers.size() && generation == at; ++i) {
    Timer& t = timers[i];
    if (t.due > now) continue;
    t.due = std::max(t.due + t.interval, now);
    v3_timer_handler** handler = t.handler;
    v3_cpp_obj(handler)->on_timer(handler);
    ++calls;
  }
  return calls;
}

int VST3RunLoop::Pump(int ms) {
#ifdef _WIN32
  // Windows editors run on the system's own timers and messages.
  (void)ms;
  return 0;
#else
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
  int calls = 0;
  do {
    calls += RunDueTimers();
    Clock::time_point wake = end;
    for (const Timer& t : timers) wake = std::min(wake, t.due);
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(wake - Clock::now());
    const int timeout = static_cast<int>(std::max<int64_t>(wait.count(), 0));
    std::vector<pollfd> polled;
    for (const FdHandler& h : fds) polled.push_back({h.fd, POLLIN, 0});
    if (poll(polled.data(), polled.size(), timeout) > 0) {
      const uint64_t at = generation;
      for (size_t i = 0; i < polled.size() && generation == at; ++i) {
        if (!(polled[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        v3_event_handler** handler = fds[i].handler;
        v3_cpp_obj(handler)->on_fd_is_set(handler, fds[i].fd);
        ++calls;
      }
    }
  } while (Clock::now() < end);
  return calls;
#endif
}

}  // namespace tbhost
