#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#include <vector>

#include "IPlug/Timer.h"

namespace iplug {

namespace {

class Timer_impl;

// Maps system timer identifiers back to their objects. The critical section is re-entrant,
// so a callback may stop its own timer or create another one on the same thread.
struct TimerRegistry {
  TimerRegistry() { InitializeCriticalSection(&mLock); }
  ~TimerRegistry() { DeleteCriticalSection(&mLock); }
  CRITICAL_SECTION mLock;
  std::vector<Timer_impl*> mTimers;
};

// Never destroyed: a timer owned by a static object may still be stopped during exit.
TimerRegistry& Registry() {
  static TimerRegistry* registry = new TimerRegistry;
  return *registry;
}

class RegistryLock {
public:
  RegistryLock() { EnterCriticalSection(&Registry().mLock); }
  ~RegistryLock() { LeaveCriticalSection(&Registry().mLock); }
  RegistryLock(const RegistryLock&) = delete;
  RegistryLock& operator=(const RegistryLock&) = delete;
};

class Timer_impl final : public Timer {
public:
  Timer_impl(Callback callback, int intervalMs) : mCallback(std::move(callback)), mIntervalMs(intervalMs) {
    // A thread timer with no window: WM_TIMER goes to this thread's message loop.
    mID = SetTimer(nullptr, 0, static_cast<UINT>(std::max(intervalMs, 1)), &Timer_impl::TimerProc);
    if (mID) {
      RegistryLock lock;
      Registry().mTimers.push_back(this);
    }
  }

  ~Timer_impl() override { Stop(); }

  void Stop() override {
    if (!mID) return;
    KillTimer(nullptr, mID);
    RegistryLock lock;
    auto& timers = Registry().mTimers;
    timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
    mID = 0;
  }

private:
  static VOID CALLBACK TimerProc(HWND, UINT, UINT_PTR eventID, DWORD) {
    // The callback runs under the lock, so a timer stopped on another thread cannot be
    // destroyed while its callback is running.
    RegistryLock lock;
    for (Timer_impl* timer : Registry().mTimers) {
      if (timer->mID == eventID) {
        timer->mCallback(*timer);
        return;  // the callback may have changed the list
      }
    }
  }

  UINT_PTR mID = 0;
  Callback mCallback;
  int mIntervalMs;
};

}  // namespace

std::unique_ptr<Timer> Timer::MakeTimer(Callback callback, int intervalMs) {
  return std::make_unique<Timer_impl>(std::move(callback), intervalMs);
}

}  // namespace iplug
#endif
