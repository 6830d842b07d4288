#include "host/cli/CLAPRunLoop.h"

#include <algorithm>
#include <thread>

#ifndef _WIN32
#include <poll.h>
#endif

namespace tbhost {

void CLAPRunLoop::SetHandlers(TimerHandler onTimer, FdHandler onFd) {
  mOnTimer = std::move(onTimer);
  mOnFd = std::move(onFd);
}

uint32_t CLAPRunLoop::AddTimer(uint32_t periodMs) {
  const std::chrono::milliseconds period(std::max<uint32_t>(periodMs, 1));
  const uint32_t id = mNextTimer++;
  mTimers.push_back({id, period, Clock::now() + period});
  return id;
}

bool CLAPRunLoop::RemoveTimer(uint32_t timerId) {
  const auto it = std::find_if(mTimers.begin(), mTimers.end(), [&](const Timer& t) { return t.id == timerId; });
  if (it == mTimers.end()) return false;
  mTimers.erase(it);
  return true;
}

bool CLAPRunLoop::FdsSupported() {
#ifdef _WIN32
  return false;
#else
  return true;
#endif
}

bool CLAPRunLoop::AddFd(int fd, uint32_t flags) {
  if (!FdsSupported() || fd < 0) return false;
  if (std::any_of(mFds.begin(), mFds.end(), [&](const Fd& f) { return f.fd == fd; })) return false;
  mFds.push_back({fd, flags});
  return true;
}

bool CLAPRunLoop::ModifyFd(int fd, uint32_t flags) {
  for (Fd& f : mFds)
    if (f.fd == fd) {
      f.flags = flags;
      return true;
    }
  return false;
}

bool CLAPRunLoop::RemoveFd(int fd) {
  const auto it = std::find_if(mFds.begin(), mFds.end(), [&](const Fd& f) { return f.fd == fd; });
  if (it == mFds.end()) return false;
  mFds.erase(it);
  return true;
}

int CLAPRunLoop::RunDueTimers() {
  int calls = 0;
  // A handler may add or remove timers: the due ones are collected first.
  std::vector<uint32_t> due;
  const Clock::time_point now = Clock::now();
  for (Timer& t : mTimers) {
    if (t.due > now) continue;
    due.push_back(t.id);
    // A loop that fell behind does not fire a timer twice to catch up.
    t.due = std::max(t.due + t.period, now + t.period / 2);
  }
  for (const uint32_t id : due) {
    if (std::none_of(mTimers.begin(), mTimers.end(), [&](const Timer& t) { return t.id == id; })) continue;
    if (mOnTimer) mOnTimer(id);
    ++mTimerCalls;
    ++calls;
  }
  return calls;
}

int CLAPRunLoop::WaitForFds(int timeoutMs) {
#ifdef _WIN32
  if (timeoutMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
  return 0;
#else
  if (mFds.empty()) {
    if (timeoutMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
    return 0;
  }
  std::vector<pollfd> polled;
  for (const Fd& f : mFds) {
    short events = 0;
    if (f.flags & kRead) events |= POLLIN;
    if (f.flags & kWrite) events |= POLLOUT;
    polled.push_back({f.fd, events, 0});
  }
  if (poll(polled.data(), polled.size(), timeoutMs) <= 0) return 0;
  int calls = 0;
  for (const pollfd& p : polled) {
    uint32_t flags = 0;
    if (p.revents & POLLIN) flags |= kRead;
    if (p.revents & POLLOUT) flags |= kWrite;
    if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) flags |= kError;
    if (flags == 0) continue;
    // Still watched: an earlier handler of this pass may have removed it.
    if (std::none_of(mFds.begin(), mFds.end(), [&](const Fd& f) { return f.fd == p.fd; })) continue;
    if (mOnFd) mOnFd(p.fd, flags);
    ++mFdCalls;
    ++calls;
  }
  return calls;
#endif
}

int CLAPRunLoop::Pump(int ms) {
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(std::max(ms, 0));
  int calls = 0;
  for (;;) {
    calls += RunDueTimers();
    const Clock::time_point now = Clock::now();
    Clock::time_point wake = end;
    for (const Timer& t : mTimers) wake = std::min(wake, t.due);
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(wake - now).count();
    calls += WaitForFds(static_cast<int>(std::max<int64_t>(wait, 0)));
    if (Clock::now() >= end) break;
  }
  return calls + RunDueTimers();
}

}  // namespace tbhost
