// The product's editor drawn for real (NanoVG on an off-screen OpenGL context) and checked by
// its pixels against the decoded resource images.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "graphics/IBubbleControl.h"
#include "graphics/IControl.h"
#include "product/TollenbrookParams.h"
#include "tests/graphics/nanovg/HeadlessEditor.h"

namespace tbtest {
namespace {

using igraphics::IBounds;

// Largest difference over a logical rectangle between the window (at total scale s) and the
// expectation `expected(x, y)` given for window pixel (x, y). Returns the worst difference.
template <typename F>
double WorstDiff(const Image& window, const IBounds& r, float s, F expected) {
  double worst = 0.0;
  for (int y = static_cast<int>(r.T * s); y < static_cast<int>(r.B * s); ++y)
    for (int x = static_cast<int>(r.L * s); x < static_cast<int>(r.R * s); ++x)
      worst = std::max(worst, Diff(window.At(x, y), expected(x, y)));
  return worst;
}

// The background as the window shows it at total scale s: the 2x image sampled at the centre
// of each window pixel.
Pixel BackgroundAt(const Image& bg, int x, int y, float s) {
  return SampleAt(bg, (x + 0.5) * 2.0 / s, (y + 0.5) * 2.0 / s);
}

// A strip frame (1-based, stacked vertically) drawn at logical (left, top), over the background.
Pixel FrameOverBackground(const Image& strip, int nFrames, int frame, float left, float top, const Image& bg, int x,
                          int y, float s) {
  const double fh = strip.h / nFrames;  // pixels per frame in the 2x strip
  const double tx = ((x + 0.5) / s - left) * 2.0;
  const double ty = ((y + 0.5) / s - top) * 2.0 + (frame - 1) * fh;
  return Over(SampleAt(strip, tx, ty), BackgroundAt(bg, x, y, s));
}

class EditorPixels : public HeadlessEditor {};

TEST_F(EditorPixels, BackgroundFillsTheWindow) {
  TB_OPEN_EDITOR();
  G().DrawAll();
  const Image window = Window();
  ASSERT_EQ(window.w, 378);
  ASSERT_EQ(window.h, 591);
  const Image bg = ProductImage("BG.png");
  ASSERT_FALSE(bg.Empty());
  // Regions with no control on them: the title band between the meters and the panel's foot.
  for (const IBounds& r : {IBounds(0, 0, 378, 16), IBounds(0, 95, 378, 180), IBounds(100, 560, 290, 591)}) {
    EXPECT_LE(WorstDiff(window, r, 1.f, [&](int x, int y) { return BackgroundAt(bg, x, y, 1.f); }), 3.0)
        << "region " << r.L << "," << r.T << " " << r.R << "," << r.B;
  }
}

// Window pixels of a control's rectangle, for comparing two states of one control.
std::vector<uint8_t> RegionPixels(const Image& window, const IBounds& r, float s) {
  std::vector<uint8_t> out;
  for (int y = static_cast<int>(r.T * s); y < static_cast<int>(r.B * s); ++y)
    for (int x = static_cast<int>(r.L * s); x < static_cast<int>(r.R * s); ++x)
      out.insert(out.end(), window.At(x, y), window.At(x, y) + 4);
  return out;
}

struct Strip {
  int param;
  const char* file;
  int frames;
};

// Every knob strip shows the frame of its parameter's value, and two values show different pictures.
TEST_F(EditorPixels, EachKnobShowsTheFrameOfItsValue) {
  TB_OPEN_EDITOR();
  const Image bg = ProductImage("BG.png");
  const Strip strips[] = {{kParamCompThreshold, "CTHR.png", 16}, {kParamLimitLevel, "LTHR.png", 23},
                          {kParamGain, "GAIN.png", 21},          {kParamMix, "MIX.png", 23},
                          {kParamRatio, "RAT.png", 5},           {kParamHigh, "SIDE.png", 5},
                          {kParamMid, "SIDE.png", 5},            {kParamHighPass, "SIDE.png", 5},
                          {kParamCompRecovery, "REC.png", 6},    {kParamLevelRecovery, "REC.png", 6}};
  for (const Strip& k : strips) {
    SCOPED_TRACE(k.file);
    const Image strip = ProductImage(k.file);
    ASSERT_FALSE(strip.Empty());
    igraphics::IControl* knob = ControlFor(k.param);
    ASSERT_NE(knob, nullptr);
    const IBounds r = knob->GetRECT();
    std::vector<uint8_t> seen[2];
    const int values[2] = {0, k.frames - 1};
    for (int i = 0; i < 2; ++i) {
      SetParam(k.param, values[i]);
      G().DrawFrame();
      const Image window = Window();
      const int frame = values[i] + 1;  // one frame per parameter value
      EXPECT_LE(WorstDiff(window, r, 1.f,
                          [&](int x, int y) { return FrameOverBackground(strip, k.frames, frame, r.L, r.T, bg, x, y, 1.f); }),
                4.0)
          << "value " << values[i];
      seen[i] = RegionPixels(window, r, 1.f);
    }
    EXPECT_NE(seen[0], seen[1]);
  }
}

// The needle follows the meter value: frame int(100 v + 0.5) + 1 of the 101-frame strip.
TEST_F(EditorPixels, MeterNeedleMovesWithTheMeterValue) {
  TB_OPEN_EDITOR();
  const Image bg = ProductImage("BG.png");
  const Image strip = ProductImage("METER.png");
  ASSERT_FALSE(strip.Empty());
  igraphics::IControl* meter = ControlFor(kParamCompMeter);
  ASSERT_NE(meter, nullptr);
  const IBounds r = meter->GetRECT();
  std::vector<uint8_t> previous;
  for (double v : {0.0, 0.25, 0.499, 1.0}) {
    SetParam(kParamCompMeter, v);
    G().DrawFrame();
    const Image window = Window();
    const int frame = static_cast<int>(100.0 * v + 0.5) + 1;
    EXPECT_LE(WorstDiff(window, r, 1.f,
                        [&](int x, int y) { return FrameOverBackground(strip, 101, frame, r.L, r.T, bg, x, y, 1.f); }),
              4.0)
        << "meter value " << v;
    const std::vector<uint8_t> now = RegionPixels(window, r, 1.f);
    EXPECT_NE(now, previous) << "meter value " << v;
    previous = now;
  }
}

// Turning the Ratio knob brings up the bubble above it with the value's text.
TEST_F(EditorPixels, BubbleAppearsAboveATurnedKnob) {
  TB_OPEN_EDITOR();
  G().DrawAll();
  const Image before = Window();
  igraphics::IControl* knob = ControlFor(kParamRatio);
  ASSERT_NE(knob, nullptr);
  const IBounds r = knob->GetRECT();
  igraphics::IMouseState press;
  press.x = r.MW();
  press.y = r.MH();
  press.ms.L = true;
  G().OnMouseDown({press});
  // Upwards far enough for one step from "3:1" (two steps of five over 400 units of drag).
  igraphics::IMouseState drag = press;
  drag.dY = -110.f;
  G().OnMouseDrag({drag});
  for (int i = 0; i < 4; ++i) {  // through the 200 ms fade-in
    Advance(100.0);
    G().DrawFrame();
  }
  igraphics::IBubbleControl* bubble = G().GetBubbleControl(0);
  ASSERT_NE(bubble, nullptr);
  EXPECT_STREQ(bubble->GetString(), "4:1");
  const IBounds box = bubble->GetBubbleBounds();
  EXPECT_LE(box.B, r.T + 1.f);  // above the knob
  const Image after = Window();
  // The bubble's body is white, and its middle holds dark text pixels.
  const IBounds body(box.L + 12, box.T + 12, box.R - 12, box.B - 12);
  int white = 0, dark = 0, total = 0;
  for (int y = static_cast<int>(body.T); y < static_cast<int>(body.B); ++y) {
    for (int x = static_cast<int>(body.L); x < static_cast<int>(body.R); ++x) {
      const uint8_t* p = after.At(x, y);
      white += p[0] > 230 && p[1] > 230 && p[2] > 230;
      dark += p[0] < 90 && p[1] < 90 && p[2] < 90;
      ++total;
    }
  }
  EXPECT_GT(white, total / 2);
  EXPECT_GT(dark, 10);
  EXPECT_NE(RegionPixels(before, body, 1.f), RegionPixels(after, body, 1.f));
  igraphics::IMouseState release = drag;
  release.ms.L = false;
  G().OnMouseUp({release});
}

}  // namespace
}  // namespace tbtest
