#pragma once
#include <functional>
#include <memory>

namespace iplug {

// A repeating timer whose callback runs on the thread that created it (the editor's
// thread), never on a thread of its own. On Windows it is a thread timer delivered through
// that thread's message loop; elsewhere that thread pumps TimerRunLoop.
class Timer {
public:
  using Callback = std::function<void(Timer& timer)>;

  virtual ~Timer() = default;
  // Stops the timer; no callback starts afterwards. Safe to call from the callback itself.
  virtual void Stop() = 0;

  // Editor thread. Starts a timer firing every intervalMs milliseconds. When the system
  // refuses a timer, the object exists but never fires.
  static std::unique_ptr<Timer> MakeTimer(Callback callback, int intervalMs);
};

}  // namespace iplug
