#include "ArtworkImage.h"
#include "EditorImages.h"

#include <gtest/gtest.h>

using namespace artworktest;

namespace {

// Pixels of a lit lamp of one hue: bright, saturated, and of the named dominant channels.
enum class Hue { Green, Red, Amber };

int LampPixels(const Frame& frame, Hue hue)
{
  int count = 0;
  for (int y = 0; y < frame.Height(); ++y) {
    for (int x = 0; x < frame.Width(); ++x) {
      const Rgba p = frame.At(x, y);
      if (p.a < 200)
        continue;
      switch (hue) {
      case Hue::Green: count += p.g > 170 && p.g > p.r + 50 && p.g > p.b + 40; break;
      case Hue::Red: count += p.r > 170 && p.r > p.g + 90 && p.r > p.b + 90; break;
      case Hue::Amber: count += p.r > 200 && p.g > 120 && p.b < 110 && p.r > p.b + 120; break;
      }
    }
  }
  return count;
}

double MeanLuma(const Frame& frame)
{
  double sum = 0;
  for (int y = 0; y < frame.Height(); ++y)
    for (int x = 0; x < frame.Width(); ++x)
      sum += frame.At(x, y).Luma() * frame.At(x, y).a / 255.0;
  return sum / (frame.Width() * frame.Height());
}

ArtworkImage LoadStrip(const std::string& name)
{
  return ArtworkImage::Load(EditorImage(name).File());
}

}  // namespace

// "Bypass" at 1 means the processing is in: that frame must read as active.
TEST(SwitchArtwork, BypassShowsInLitGreenAndOutLitRed)
{
  const ArtworkImage strip = LoadStrip("BYPASS");
  ASSERT_EQ(strip.Error(), "");
  const Frame out(strip, 2, 0), in(strip, 2, 1);
  EXPECT_GT(LampPixels(in, Hue::Green), 30);
  EXPECT_EQ(LampPixels(out, Hue::Green), 0);
  EXPECT_GT(LampPixels(out, Hue::Red), 30);
  EXPECT_EQ(LampPixels(in, Hue::Red), 0);
}

TEST(SwitchArtwork, ExternalSidechainLightsOnlyWhenOn)
{
  const ArtworkImage strip = LoadStrip("EXT");
  ASSERT_EQ(strip.Error(), "");
  const Frame off(strip, 2, 0), on(strip, 2, 1);
  EXPECT_GT(LampPixels(on, Hue::Amber), 30);
  EXPECT_EQ(LampPixels(off, Hue::Amber), 0);
  EXPECT_GT(MeanLuma(on), MeanLuma(off) + 3);
}

TEST(SwitchArtwork, OversampleBarIsLitOnlyWhenOn)
{
  const ArtworkImage strip = LoadStrip("OVER");
  ASSERT_EQ(strip.Error(), "");
  const Frame off(strip, 2, 0), on(strip, 2, 1);
  EXPECT_GT(LampPixels(on, Hue::Amber), on.Width() * on.Height() / 3);
  EXPECT_EQ(LampPixels(off, Hue::Amber), 0);
  EXPECT_GT(MeanLuma(on), 2 * MeanLuma(off));
}

TEST(SwitchArtwork, ButtonsLeaveThePanelVisibleAtTheirCorners)
{
  for (const char* name : {"BYPASS", "EXT"}) {
    SCOPED_TRACE(name);
    const ArtworkImage strip = LoadStrip(name);
    ASSERT_EQ(strip.Error(), "");
    for (int i = 0; i < 2; ++i) {
      const Frame frame(strip, 2, i);
      const int w = frame.Width() - 1, h = frame.Height() - 1;
      EXPECT_EQ(frame.At(0, 0).a + frame.At(w, 0).a + frame.At(0, h).a + frame.At(w, h).a, 0);
    }
  }
}
