#pragma once
#include <travesty/view.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <vector>

#include "host/cli/VST3HostObject.h"

namespace tbhost {

// The host's run loop as a VST3 plug-in's editor on Linux sees it: the editor registers a
// handler for a file descriptor (its X connection) and timers, and everything it does runs
// when the host pumps this loop, on the host's main thread: a handler when its descriptor has
// something to read, a timer when its interval has passed. Handlers are held (one reference)
// while registered. The host owns the loop; it outlives the view that registers with it.
// Host main thread.
struct VST3RunLoop {
  struct Table : v3_funknown {
    v3_run_loop loop;
  };
  struct FdHandler {
    v3_event_handler** handler;
    int fd;
  };
  struct Timer {
    v3_timer_handler** handler;
    std::chrono::milliseconds interval;
    std::chrono::steady_clock::time_point due;
  };

  VST3RunLoop() = default;
  ~VST3RunLoop();
  VST3RunLoop(const VST3RunLoop&) = delete;
  VST3RunLoop& operator=(const VST3RunLoop&) = delete;

  static bool Answers(const v3_tuid iid) { return v3_tuid_match(iid, v3_run_loop_iid); }
  v3_run_loop** Interface() { return reinterpret_cast<v3_run_loop**>(this); }

  // Runs what is due for about `ms` milliseconds: handlers of descriptors that can be read,
  // timers whose time has come. Returns the number of calls made.
  int Pump(int ms);
  size_t Handlers() const { return fds.size(); }
  size_t Timers() const { return timers.size(); }

  const Table* table = &kTable;  // first: see VST3HostObject
  std::atomic<uint32_t> refs{1};
  bool ownedByPlugin = false;
  std::vector<FdHandler> fds;
  std::vector<Timer> timers;
  uint64_t generation = 0;  // moves on with every registration change, so a pump stops walking old lists

private:
  int RunDueTimers();
  static const Table kTable;
};

}  // namespace tbhost
