#pragma once

namespace igraphics {

// Decides which ticks of an editor window's redraw clock draw a frame. A display-paced clock
// numbers its ticks (every tick a new, larger counter value) and may queue several while the
// window is busy: only the newest one draws, and after a frame that took longer than a tick
// the ticks already queued behind it are dropped too, so at most one frame is drawn per tick
// and a slow frame is never followed by a burst of stale ones. A plain timer's ticks always
// draw; its interval comes from the editor's frame rate.
//
// Threads: the window's (UI) thread, which receives the ticks. The clock's newest counter is
// read there from the clock's own (atomic) counter and passed in.
class FramePacer {
public:
  // The interval of a plain timer: 1000 / fps milliseconds, and this fallback both for no
  // rate and for intervals below kMinTimerMs (fast rates get a fixed 15 ms, close to 60 fps,
  // rather than a timer finer than the system's own granularity).
  static constexpr int kFallbackTimerMs = 15;
  static constexpr int kMinTimerMs = 20;
  static int TimerIntervalMs(int fps);

  // A tick numbered `tick` arrived while the clock's newest number is `newest`: true when it
  // draws.
  bool ShouldDraw(int tick, int newest);
  // After the frame of `tick` was painted, with the clock now at `newest`: when the clock
  // moved on meanwhile, the ticks up to and including `newest` are stale.
  void AfterPaint(int tick, int newest);
  // The clock starts again (a window opens).
  void Reset() { mSkipUntil = 0; }

private:
  int mSkipUntil = 0;  // ticks below this number draw nothing; 0 for none
};

}  // namespace igraphics
