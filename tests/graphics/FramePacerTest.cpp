#include <gtest/gtest.h>

#include "graphics/FramePacer.h"

using igraphics::FramePacer;

TEST(FramePacer, TimerIntervalFollowsTheFrameRateWithAFloor) {
  const struct {
    int fps;
    int ms;
  } cases[] = {{60, 15}, {30, 33}, {50, 20}, {51, 15}, {1, 1000}, {0, 15}, {-5, 15}};
  for (const auto& c : cases) EXPECT_EQ(FramePacer::TimerIntervalMs(c.fps), c.ms) << c.fps << " fps";
}

// Ticks of a display-paced clock as the window receives them: each with the clock's newest
// number at that moment, and whether its frame took long enough for the clock to move on.
TEST(FramePacer, OnlyTheNewestTickDrawsAndASlowFrameDropsTheTicksQueuedBehindIt) {
  const struct {
    int tick;
    int newest;
    bool draws;
    int newestAfterPaint;  // the clock's number when the frame was painted
  } ticks[] = {
      {1, 1, true, 1},    // on time
      {2, 3, false, 0},   // 3 is already queued behind it
      {3, 3, true, 5},    // the frame took two ticks: 4 and 5 are stale
      {4, 5, false, 0},
      {5, 5, false, 0},   // the newest, but queued while the slow frame was painted
      {6, 6, true, 6},    // the clock has caught up
      {7, 7, true, 7},
  };
  FramePacer pacer;
  for (const auto& t : ticks) {
    const bool draws = pacer.ShouldDraw(t.tick, t.newest);
    EXPECT_EQ(draws, t.draws) << "tick " << t.tick;
    if (draws) pacer.AfterPaint(t.tick, t.newestAfterPaint);
  }
  pacer.AfterPaint(8, 20);
  pacer.Reset();
  EXPECT_TRUE(pacer.ShouldDraw(1, 1)) << "a reopened window's clock starts afresh";
}
