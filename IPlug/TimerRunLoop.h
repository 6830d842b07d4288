#pragma once

namespace iplug {

// Where there is no system timer that calls back on the editor's thread, that thread pumps
// this run loop from its event loop: timers fire only on the thread that created them,
// never on a background thread, just as Windows delivers thread timers through the
// creating thread's message loop. A callback runs under the timer lock (re-entrant for
// the same thread), so a timer stopped elsewhere is never destroyed mid-callback.
class TimerRunLoop {
public:
  // Editor thread. Fires every timer created on this thread that is due, each at most
  // once per call; returns how many fired. A timer that fell behind fires once and is
  // rescheduled one interval from now.
  static int Pump();

  // Milliseconds until the next timer of this thread is due (0 when one is due now),
  // or -1 when this thread has no running timer; for sleeping between pumps.
  static int MillisecondsUntilNextDue();
};

}  // namespace iplug
