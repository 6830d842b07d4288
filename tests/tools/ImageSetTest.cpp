#include "ArtworkImage.h"
#include "EditorImages.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace artworktest;

namespace {

// Number of pixels whose colour or coverage differ noticeably between two frames.
int DifferingPixels(const Frame& a, const Frame& b)
{
  int count = 0;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      const Rgba p = a.At(x, y), q = b.At(x, y);
      if (std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) + std::abs(p.a - q.a) > 24)
        ++count;
    }
  }
  return count;
}

}  // namespace

TEST(ImageSet, EveryImageHasItsExactPixelSizeAndWholeFrames)
{
  for (const ExpectedImage& expected : EditorImages()) {
    SCOPED_TRACE(expected.File());
    const ArtworkImage image = ArtworkImage::Load(expected.File());
    ASSERT_EQ(image.Error(), "");
    EXPECT_EQ(image.Width(), expected.widthPx);
    EXPECT_EQ(image.Height(), expected.heightPx);
    EXPECT_EQ(image.Height() % expected.frames, 0) << "frames of unequal height";
    // The editor's logical frame size is half the pixels, truncated; it must lose nothing.
    if (expected.frames > 1) {
      EXPECT_EQ(image.Height() / expected.frames % 2, 0) << "frame height is not a whole number of units";
    }
  }
}

TEST(ImageSet, BackgroundIsOpaqueEverywhere)
{
  const ArtworkImage bg = ArtworkImage::Load("BG@2x.png");
  ASSERT_EQ(bg.Error(), "");
  int seeThrough = 0;
  for (int y = 0; y < bg.Height(); ++y)
    for (int x = 0; x < bg.Width(); ++x)
      seeThrough += bg.At(x, y).a != 255;
  EXPECT_EQ(seeThrough, 0);
}

TEST(ImageSet, ConsecutiveFramesOfEveryStripDiffer)
{
  for (const ExpectedImage& expected : EditorImages()) {
    if (expected.frames < 2)
      continue;
    SCOPED_TRACE(expected.File());
    const ArtworkImage strip = ArtworkImage::Load(expected.File());
    ASSERT_EQ(strip.Error(), "");
    for (int i = 1; i < expected.frames; ++i) {
      const Frame previous(strip, expected.frames, i - 1), current(strip, expected.frames, i);
      EXPECT_GT(DifferingPixels(previous, current), 10) << "frames " << i - 1 << " and " << i << " look alike";
    }
  }
}
