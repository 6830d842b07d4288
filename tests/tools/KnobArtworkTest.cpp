#include "ArtworkImage.h"
#include "EditorImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace artworktest;

namespace {

constexpr double kPi = 3.14159265358979323846;

// Clockwise from straight up, in degrees, of a point relative to a centre (y grows down).
double AngleDeg(double dx, double dy)
{
  return std::atan2(dx, -dy) * 180.0 / kPi;
}

double AngleDifferenceDeg(double a, double b)
{
  double d = std::fmod(a - b, 360.0);
  if (d > 180)
    d -= 360;
  if (d < -180)
    d += 360;
  return d;
}

// Direction of the pointer: the centroid of the frame's brightest pixels, seen from the
// frame's centre, which is the knob's axis.
double PointerAngleDeg(const Frame& frame, double& brightPixels)
{
  double maxLuma = 0;
  for (int y = 0; y < frame.Height(); ++y)
    for (int x = 0; x < frame.Width(); ++x)
      if (frame.At(x, y).a > 200)
        maxLuma = std::max(maxLuma, frame.At(x, y).Luma());
  const double cx = frame.Width() / 2.0, cy = frame.Height() / 2.0;
  double sx = 0, sy = 0;
  brightPixels = 0;
  for (int y = 0; y < frame.Height(); ++y) {
    for (int x = 0; x < frame.Width(); ++x) {
      const Rgba p = frame.At(x, y);
      if (p.a > 200 && p.Luma() >= maxLuma - 30) {
        sx += x + 0.5 - cx;
        sy += y + 0.5 - cy;
        brightPixels += 1;
      }
    }
  }
  return AngleDeg(sx, sy);
}

// Radius in pixels of the knob's visible body (cap and the dense part of its shadow).
double BodyRadiusPx(const Frame& frame)
{
  const double cx = frame.Width() / 2.0, cy = frame.Height() / 2.0;
  double radius = 0;
  for (int y = 0; y < frame.Height(); ++y)
    for (int x = 0; x < frame.Width(); ++x)
      if (frame.At(x, y).a >= 128)
        radius = std::max(radius, std::hypot(x + 0.5 - cx, y + 0.5 - cy));
  return radius;
}

// Bilinear brightness at a point in pixel coordinates (pixel centres at half units), so a
// line centred between two pixels is found centred, not one pixel off.
double SampleLuma(const ArtworkImage& image, double x, double y)
{
  const double fx = x - 0.5, fy = y - 0.5;
  const int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
  const double tx = fx - x0, ty = fy - y0;
  const auto luma = [&](int px, int py) { return image.At(px, py).Luma(); };
  return (1 - ty) * ((1 - tx) * luma(x0, y0) + tx * luma(x0 + 1, y0)) +
         ty * ((1 - tx) * luma(x0, y0 + 1) + tx * luma(x0 + 1, y0 + 1));
}

// Mean brightness of the background along a ray from a knob's centre over a band of radii.
double RayBrightness(const ArtworkImage& bg, double cx, double cy, double angleDeg, double r0, double r1)
{
  const double a = angleDeg * kPi / 180.0;
  double sum = 0;
  int n = 0;
  for (double r = r0; r <= r1; r += 0.25) {
    sum += SampleLuma(bg, cx + r * std::sin(a), cy - r * std::cos(a));
    ++n;
  }
  return sum / n;
}

}  // namespace

TEST(KnobArtwork, PointerTurnsClockwiseOverThreeHundredDegrees)
{
  for (const ExpectedImage& expected : EditorImages()) {
    if (expected.widthPx != 162 && expected.widthPx != 122)
      continue;
    SCOPED_TRACE(expected.File());
    const ArtworkImage strip = ArtworkImage::Load(expected.File());
    ASSERT_EQ(strip.Error(), "");
    for (int i = 0; i < expected.frames; ++i) {
      double bright = 0;
      const double angle = PointerAngleDeg(Frame(strip, expected.frames, i), bright);
      EXPECT_GT(bright, 40) << "frame " << i << " has no distinct pointer";
      EXPECT_NEAR(AngleDifferenceDeg(angle, KnobAngleDeg(i, expected.frames)), 0.0, 2.0) << "frame " << i;
    }
  }
}

TEST(KnobArtwork, FramesAreTransparentAroundTheCapSoTheScaleShows)
{
  for (const ExpectedImage& expected : EditorImages()) {
    if (expected.widthPx != 162 && expected.widthPx != 122)
      continue;
    SCOPED_TRACE(expected.File());
    const ArtworkImage strip = ArtworkImage::Load(expected.File());
    ASSERT_EQ(strip.Error(), "");
    for (int i = 0; i < expected.frames; ++i) {
      const Frame frame(strip, expected.frames, i);
      const double body = BodyRadiusPx(frame);
      EXPECT_GT(body, frame.Width() * 0.25) << "frame " << i;
      EXPECT_LT(body, frame.Width() * 0.4) << "frame " << i << ": the cap would cover its scale";
      // Past the soft edge of the shadow, in particular at the corners, the panel shows through.
      int opaqueOutside = 0;
      const double cx = frame.Width() / 2.0, cy = frame.Height() / 2.0;
      for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width(); ++x)
          if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) > body * 1.35 && frame.At(x, y).a > 0)
            ++opaqueOutside;
      EXPECT_EQ(opaqueOutside, 0) << "frame " << i;
    }
  }
}

// Every value's tick on the panel lies on the line the pointer shows for that value.
TEST(KnobArtwork, BackgroundTicksLineUpWithThePointerAtEveryValue)
{
  const ArtworkImage bg = ArtworkImage::Load("BG@2x.png");
  ASSERT_EQ(bg.Error(), "");
  for (const KnobPlacement& knob : KnobPlacements()) {
    SCOPED_TRACE(knob.strip + " at " + std::to_string(knob.x) + "," + std::to_string(knob.y));
    const ExpectedImage& expected = EditorImage(knob.strip);
    const ArtworkImage strip = ArtworkImage::Load(expected.File());
    ASSERT_EQ(strip.Error(), "");
    const double frameHeightPx = expected.heightPx / double(expected.frames);
    const double cx = 2 * knob.x + expected.widthPx / 2.0, cy = 2 * knob.y + frameHeightPx / 2.0;
    const double body = BodyRadiusPx(Frame(strip, expected.frames, 0));
    const double r0 = body + 3, r1 = body + 12;
    const double step = 300.0 / (expected.frames - 1);
    for (int i = 0; i < expected.frames; ++i) {
      const double target = KnobAngleDeg(i, expected.frames);
      // The brightest ray near the value's angle.
      double bestAngle = target, best = -1;
      const double window = std::min(3.0, step / 3);
      for (double a = target - window; a <= target + window; a += 0.1) {
        const double b = RayBrightness(bg, cx, cy, a, r0, r1);
        if (b > best) {
          best = b;
          bestAngle = a;
        }
      }
      EXPECT_NEAR(bestAngle, target, 1.0) << "value " << i;
      // And it is a tick, not bare panel: half a step away the panel is much darker.
      const double gap = std::max(RayBrightness(bg, cx, cy, target + step / 2, r0, r1),
                                  RayBrightness(bg, cx, cy, target - step / 2, r0, r1));
      EXPECT_GT(best - gap, 20.0) << "value " << i << " has no tick";
    }
    // Past the ends of the sweep there is no tick.
    const double beyond = RayBrightness(bg, cx, cy, 180.0, r0, r1);
    EXPECT_LT(beyond, RayBrightness(bg, cx, cy, -150.0, r0, r1) - 20.0);
  }
}
