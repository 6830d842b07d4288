#ifndef _WIN32
#include "IPlug/TimerRunLoop.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "IPlug/Timer.h"

namespace iplug {

namespace {

using Clock = std::chrono::steady_clock;

class Timer_impl;

struct TimerRegistry {
  std::recursive_mutex mLock;
  std::vector<Timer_impl*> mTimers;
  uint64_t mPumpSerial = 0;
};

// Never destroyed: a timer owned by a static object may still be stopped during exit.
TimerRegistry& Registry() {
  static TimerRegistry* registry = new TimerRegistry;
  return *registry;
}

class Timer_impl final : public Timer {
public:
  Timer_impl(Callback callback, int intervalMs)
      : mCallback(std::move(callback)),
        mInterval(std::max(intervalMs, 1)),
        mOwner(std::this_thread::get_id()),
        mDue(Clock::now() + mInterval) {
    std::lock_guard lock(Registry().mLock);
    Registry().mTimers.push_back(this);
  }

  ~Timer_impl() override { Stop(); }

  void Stop() override {
    std::lock_guard lock(Registry().mLock);
    auto& timers = Registry().mTimers;
    timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
  }

  bool IsDueFor(std::thread::id thread, Clock::time_point now, uint64_t serial) const {
    return mOwner == thread && mLastPump != serial && mDue <= now;
  }

  // Called under the lock. The callback may stop its own timer, so nothing touches the
  // timer after the call.
  void Fire(Clock::time_point now, uint64_t serial) {
    mLastPump = serial;
    mDue += mInterval;
    if (mDue <= now) mDue = now + mInterval;
    mCallback(*this);
  }

  std::thread::id Owner() const { return mOwner; }
  Clock::time_point Due() const { return mDue; }

private:
  Callback mCallback;
  std::chrono::milliseconds mInterval;
  std::thread::id mOwner;
  Clock::time_point mDue;
  uint64_t mLastPump = 0;
};

}  // namespace

std::unique_ptr<Timer> Timer::MakeTimer(Callback callback, int intervalMs) {
  return std::make_unique<Timer_impl>(std::move(callback), intervalMs);
}

int TimerRunLoop::Pump() {
  TimerRegistry& registry = Registry();
  std::lock_guard lock(registry.mLock);
  const uint64_t serial = ++registry.mPumpSerial;
  const auto self = std::this_thread::get_id();
  int fired = 0;
  for (;;) {
    // Rescan after every callback: it may have created or stopped timers.
    const auto now = Clock::now();
    auto& timers = registry.mTimers;
    const auto due = std::find_if(timers.begin(), timers.end(),
                                  [&](const Timer_impl* t) { return t->IsDueFor(self, now, serial); });
    if (due == timers.end()) break;
    (*due)->Fire(now, serial);
    ++fired;
  }
  return fired;
}

int TimerRunLoop::MillisecondsUntilNextDue() {
  TimerRegistry& registry = Registry();
  std::lock_guard lock(registry.mLock);
  const auto self = std::this_thread::get_id();
  const auto now = Clock::now();
  int64_t best = -1;
  for (const Timer_impl* t : registry.mTimers) {
    if (t->Owner() != self) continue;
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(t->Due() - now).count();
    const int64_t ms = std::max<int64_t>(wait, 0);
    if (best < 0 || ms < best) best = ms;
  }
  return static_cast<int>(best);
}

}  // namespace iplug
#endif
