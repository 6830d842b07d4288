// A frame that redraws only the dirty controls must leave the window exactly as a frame that
// redraws everything: no seam at the edge of a redrawn area, at any zoom the corner resizer
// can reach.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "product/TollenbrookParams.h"
#include "tests/graphics/nanovg/HeadlessEditor.h"

namespace tbtest {
namespace {

class PartialRedraw : public HeadlessEditor {};

// Pixels that differ between two window images, and the first of them.
int CountDifferences(const Image& a, const Image& b, int& firstX, int& firstY) {
  int n = 0;
  firstX = firstY = -1;
  for (int y = 0; y < a.h; ++y)
    for (int x = 0; x < a.w; ++x) {
      const uint8_t* p = a.At(x, y);
      const uint8_t* q = b.At(x, y);
      if (p[0] != q[0] || p[1] != q[1] || p[2] != q[2] || p[3] != q[3]) {
        if (n++ == 0) firstX = x, firstY = y;
      }
    }
  return n;
}

TEST_F(PartialRedraw, EqualsAFullRedrawAtEveryZoom) {
  TB_OPEN_EDITOR();
  const float zooms[] = {0.5f, 0.66f, 0.9f, 1.f, 1.33f, 1.5f, 1.9f, 1.95f, 2.f};
  int step = 0;
  for (const float zoom : zooms) {
    G().Resize(378, 591, zoom, true);
    G().DrawAll();
    // Knobs, a switch and a needle move: only their areas are redrawn.
    ++step;
    SetParam(kParamGain, step % 21);
    SetParam(kParamMix, (step * 5) % 23);
    SetParam(kParamRatio, step % 5);
    SetParam(kParamHigh, (step + 2) % 5);
    SetParam(kParamOversample, step % 2);
    SetParam(kParamLimiterMeter, 0.05 * (step % 20));
    ASSERT_TRUE(G().DrawFrame());
    const Image partial = Window();
    G().DrawAll();
    const Image full = Window();
    ASSERT_EQ(partial.w, full.w);
    ASSERT_EQ(partial.h, full.h);
    int x = 0, y = 0;
    EXPECT_EQ(CountDifferences(partial, full, x, y), 0) << "zoom " << zoom << ", first at (" << x << ", " << y << ")";
  }
}

}  // namespace
}  // namespace tbtest
