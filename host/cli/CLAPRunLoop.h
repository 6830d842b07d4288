#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace tbhost {

// The host's run loop as a CLAP plug-in sees it through the timer-support and posix-fd-support
// extensions: timers the plug-in registers fire at their period, and file descriptors it
// registers wake the loop when they are ready; both are called back on the thread that pumps
// the loop, which is the host's main thread. Nothing runs unless the host pumps.
// Main thread.
class CLAPRunLoop {
public:
  using TimerHandler = std::function<void(uint32_t timerId)>;
  using FdHandler = std::function<void(int fd, uint32_t flags)>;
  // Flags as the posix-fd-support extension numbers them.
  static constexpr uint32_t kRead = 1u << 0, kWrite = 1u << 1, kError = 1u << 2;

  void SetHandlers(TimerHandler onTimer, FdHandler onFd);
  // A timer of `periodMs` (at least 1 ms) under a new id, first due one period from now.
  uint32_t AddTimer(uint32_t periodMs);
  bool RemoveTimer(uint32_t timerId);
  // A descriptor watched for the conditions in `flags`; false for one already watched (add) or
  // not watched (modify, remove), for a negative one, or where the system has no such waits.
  bool AddFd(int fd, uint32_t flags);
  bool ModifyFd(int fd, uint32_t flags);
  bool RemoveFd(int fd);
  static bool FdsSupported();

  // Waits up to `ms` milliseconds for ready descriptors and due timers and calls their
  // handlers; 0 makes one pass without waiting. Returns the number of calls made.
  int Pump(int ms);
  size_t Timers() const { return mTimers.size(); }
  size_t Fds() const { return mFds.size(); }
  // Calls made since the loop began, per kind.
  int64_t TimerCalls() const { return mTimerCalls; }
  int64_t FdCalls() const { return mFdCalls; }

private:
  using Clock = std::chrono::steady_clock;
  struct Timer {
    uint32_t id;
    std::chrono::milliseconds period;
    Clock::time_point due;
  };
  struct Fd {
    int fd;
    uint32_t flags;
  };
  int RunDueTimers();
  int WaitForFds(int timeoutMs);

  std::vector<Timer> mTimers;
  std::vector<Fd> mFds;
  uint32_t mNextTimer = 1;
  TimerHandler mOnTimer;
  FdHandler mOnFd;
  int64_t mTimerCalls = 0;
  int64_t mFdCalls = 0;
};

}  // namespace tbhost
