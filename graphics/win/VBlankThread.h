#pragma once
#include "graphics/win/WinInclude.h"

#include <atomic>

namespace igraphics {

// The display-paced redraw clock of one editor window: a thread that waits for the vertical
// blank of the window's display (D3DKMT functions of gdi32, looked up at run time) and posts
// kMessage with a fresh counter value to the window after every wait. Without those
// functions, or while no adapter can be opened or waited on, it sleeps 16 ms instead; an
// adapter that cannot be opened is retried at most once a second.
//
// Threads: Start and Stop on the window's (UI) thread; the thread itself touches only the
// window handle, the counter and the stop flag. The window's message queue serialises the
// ticks; the receiver compares a message's counter with Counter() to drop stale ones.
class VBlankThread {
public:
  static constexpr UINT kMessage = WM_USER + 1;
  static constexpr DWORD kStopTimeoutMs = 10000;

  VBlankThread() = default;
  ~VBlankThread() { Stop(); }
  VBlankThread(const VBlankThread&) = delete;
  VBlankThread& operator=(const VBlankThread&) = delete;

  // UI thread. False when the thread cannot be created.
  bool Start(HWND window);
  // UI thread. Waits for the thread (at most kStopTimeoutMs).
  void Stop();
  bool Running() const { return mThread != INVALID_HANDLE_VALUE; }
  // Any thread. The value of the newest message posted.
  int Counter() const { return mCounter.load(std::memory_order_acquire); }
  // Any thread. True when the display-wait functions exist here (decided at the first Start).
  bool HasDisplayWait() const { return mHasDisplayWait.load(std::memory_order_acquire); }

  // Whether this system gets the display-paced clock: Windows 8 (6.2) or later.
  static bool SystemSupportsIt();

private:
  static DWORD WINAPI ThreadMain(LPVOID self);
  void Run();
  void Tick();

  HANDLE mThread = INVALID_HANDLE_VALUE;
  std::atomic<HWND> mWindow{nullptr};
  std::atomic<bool> mStop{false};
  std::atomic<int> mCounter{0};
  std::atomic<bool> mHasDisplayWait{false};
};

}  // namespace igraphics
