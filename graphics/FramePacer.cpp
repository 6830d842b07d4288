#include "graphics/FramePacer.h"

namespace igraphics {

int FramePacer::TimerIntervalMs(int fps) {
  const int interval = fps > 0 ? 1000 / fps : kFallbackTimerMs;
  return interval < kMinTimerMs ? kFallbackTimerMs : interval;
}

bool FramePacer::ShouldDraw(int tick, int newest) {
  if (mSkipUntil != 0 && newest < mSkipUntil) return false;
  mSkipUntil = 0;
  return tick == newest;  // a newer tick is already queued: only the newest draws
}

void FramePacer::AfterPaint(int tick, int newest) {
  if (newest != tick) mSkipUntil = newest + 1;  // painting took longer than a frame
}

}  // namespace igraphics
