#include "ArtworkImage.h"
#include "EditorImages.h"

#include <gtest/gtest.h>

using namespace artworktest;

namespace {

constexpr int kFrames = 101;

// The needle of one frame: pixels clearly darker there than in a frame whose needle stands
// elsewhere. Returns their mean x, or -1 when there are none.
double NeedleCentreX(const ArtworkImage& strip, int frame, int reference, int* pixels = nullptr)
{
  const Frame shown(strip, kFrames, frame), other(strip, kFrames, reference);
  double sum = 0;
  int count = 0;
  for (int y = 0; y < shown.Height(); ++y) {
    for (int x = 0; x < shown.Width(); ++x) {
      if (shown.At(x, y).Luma() < other.At(x, y).Luma() - 60) {
        sum += x + 0.5;
        ++count;
      }
    }
  }
  if (pixels)
    *pixels = count;
  return count ? sum / count : -1;
}

}  // namespace

TEST(MeterArtwork, FirstAndLastFramesPutTheNeedleAtOppositeEnds)
{
  const ArtworkImage strip = ArtworkImage::Load(EditorImage("METER").File());
  ASSERT_EQ(strip.Error(), "");
  int restPixels = 0, fullPixels = 0;
  const double rest = NeedleCentreX(strip, 0, kFrames - 1, &restPixels);
  const double full = NeedleCentreX(strip, kFrames - 1, 0, &fullPixels);
  EXPECT_GT(restPixels, 40);
  EXPECT_GT(fullPixels, 40);
  const double w = strip.Width();
  // No reduction rests at the right-hand end, everything removed at the left.
  EXPECT_GT(rest, 0.6 * w);
  EXPECT_LT(full, 0.4 * w);
}

TEST(MeterArtwork, NeedleMovesSteadilyOneWayAsTheReductionGrows)
{
  const ArtworkImage strip = ArtworkImage::Load(EditorImage("METER").File());
  ASSERT_EQ(strip.Error(), "");
  double previous = strip.Width();
  for (int frame = 0; frame < kFrames; frame += 5) {
    const int reference = frame < kFrames / 2 ? kFrames - 1 : 0;
    const double x = NeedleCentreX(strip, frame, reference);
    ASSERT_GE(x, 0) << "frame " << frame << " shows no needle";
    EXPECT_LT(x, previous) << "frame " << frame;
    previous = x;
  }
}

TEST(MeterArtwork, FaceIsOpaqueSoThePanelNeverShowsThrough)
{
  const ArtworkImage strip = ArtworkImage::Load(EditorImage("METER").File());
  ASSERT_EQ(strip.Error(), "");
  for (int frame : {0, 50, 100}) {
    const Frame f(strip, kFrames, frame);
    int seeThrough = 0;
    for (int y = 0; y < f.Height(); ++y)
      for (int x = 0; x < f.Width(); ++x)
        seeThrough += f.At(x, y).a != 255;
    EXPECT_EQ(seeThrough, 0) << "frame " << frame;
  }
}
