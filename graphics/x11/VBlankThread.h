#pragma once
#include <atomic>
#include <string>
#include <thread>

// Xlib stays out of this header (its macros clash with the framework's names).
struct _XDisplay;

namespace igraphics {

// The display-paced redraw clock of one editor window: a thread with its own X connection
// that asks the X server's Present extension to report the window's next vertical blank
// (PresentNotifyMSC) and, after every report, sends the window a ClientMessage of type
// kMessageName carrying a fresh counter value. Where the server has no Present extension,
// or its reports stop coming, the thread sleeps 16 ms between messages instead and tries
// the display again at most once a second.
//
// Threads: Start and Stop on the window's (UI) thread; the thread itself touches only its
// own connection, the counter and the stop flag. The window's event queue serialises the
// ticks; the receiver compares a message's counter with Counter() to drop stale ones.
class VBlankThread {
public:
  static constexpr const char* kMessageName = "IPLUG_REDRAW_TICK";
  static constexpr int kSleepMs = 16;

  VBlankThread() = default;
  ~VBlankThread() { Stop(); }
  VBlankThread(const VBlankThread&) = delete;
  VBlankThread& operator=(const VBlankThread&) = delete;

  // UI thread. The display is named as XDisplayString gives it. False when the thread or
  // its connection cannot be made.
  bool Start(const char* displayName, unsigned long window);
  // UI thread. Wakes the thread and waits for it.
  void Stop();
  bool Running() const { return mThread.joinable(); }
  // Any thread. The value of the newest message sent.
  int Counter() const { return mCounter.load(std::memory_order_acquire); }
  // Any thread. True while the ticks follow the display's vertical blank.
  bool HasDisplayWait() const { return mHasDisplayWait.load(std::memory_order_acquire); }

private:
  void Run(_XDisplay* display);
  // Waits for the next vertical blank; false when none was reported in time.
  bool WaitForVBlank(_XDisplay* display, int presentOpcode);
  // Sleeps up to ms milliseconds; false when woken by Stop.
  bool Sleep(int ms);
  void Tick(_XDisplay* display);

  std::thread mThread;
  unsigned long mWindow = 0;   // the editor's X window
  unsigned long mMessage = 0;  // the atom of kMessageName
  int mWakePipe[2] = {-1, -1};
  unsigned int mSerial = 0;
  std::atomic<bool> mStop{false};
  std::atomic<int> mCounter{0};
  std::atomic<bool> mHasDisplayWait{false};
};

}  // namespace igraphics
