#include <gtest/gtest.h>

#include <algorithm>

#include "graphics/EditorFixture.h"

using namespace testgraphics;

namespace {

class Resources : public ::testing::Test {
protected:
  Resources() : mGraphics(mDelegate, 378, 591, 60, 1.f, &mEvents) {}
  std::vector<std::string> mEvents;
  TestDelegate mDelegate{&mEvents};
  RecordingGraphics mGraphics;
};

}  // namespace

TEST_F(Resources, ImagesAreFoundAtTheirStoredScaleWhateverTheTarget) {
  const IBitmapRef bg = mGraphics.LoadBitmap("BG.png", 1, false, 1);
  EXPECT_EQ(mGraphics.mLocated, (std::vector<std::string>{"BG.png", "BG@3x.png", "BG@2x.png"}));
  ASSERT_TRUE(bg.IsValid());
  EXPECT_EQ(bg.W(), 378);
  EXPECT_EQ(bg.H(), 591) << "1183 pixels at scale 2: 591 units";
  EXPECT_EQ(bg.GetScale(), 1.f) << "redrawn for a scale-1 screen";

  mGraphics.mLocated.clear();
  const IBitmapRef bg2 = mGraphics.LoadBitmap("bg.PNG", 1, false, 2);
  EXPECT_EQ(mGraphics.mLocated, (std::vector<std::string>{"bg@2x.PNG"})) << "case does not matter";
  EXPECT_EQ(bg2.GetScale(), 2.f);
  EXPECT_EQ(bg2.W(), 378);

  mGraphics.mLocated.clear();
  mGraphics.LoadBitmap("METER.png", 101, false, 4);
  EXPECT_EQ(mGraphics.mLocated, (std::vector<std::string>{"METER@4x.png", "METER@3x.png", "METER@2x.png"}));
  mGraphics.mLocated.clear();
  mGraphics.LoadBitmap("RAT.png", 5, false, 3);
  EXPECT_EQ(mGraphics.mLocated, (std::vector<std::string>{"RAT@3x.png", "RAT@2x.png"}));
}

TEST_F(Resources, ANameIsDecodedOncePerScale) {
  const IBitmapRef a = mGraphics.LoadBitmap("SIDE.png", 5);
  const IBitmapRef b = mGraphics.LoadBitmap("SIDE.png", 5);
  EXPECT_EQ(a.GetAPIBitmap(), b.GetAPIBitmap());
  EXPECT_EQ(mGraphics.mLoadedImages, std::vector<std::string>{"SIDE@2x.png"});
  // The 2x source of the scale-1 copy was temporary: scale 2 decodes it again, once.
  const IBitmapRef at2 = mGraphics.LoadBitmap("SIDE.png", 5, false, 2);
  mGraphics.LoadBitmap("SIDE.png", 5, false, 2);
  EXPECT_EQ(mGraphics.mLoadedImages.size(), 2u);
  EXPECT_NE(at2.GetAPIBitmap(), a.GetAPIBitmap());
  EXPECT_EQ(a.FW(), 61);
  EXPECT_EQ(a.FH(), 75);
  EXPECT_EQ(at2.FH(), 75);
}

TEST_F(Resources, NothingFoundAfterTryingEveryScale) {
  int sourceScale = -1;
  iplug::TextBuffer result;
  EXPECT_EQ(mGraphics.SearchImageResource("missing.png", "png", result, 1, sourceScale), kNotFound);
  EXPECT_EQ(mGraphics.mLocated, (std::vector<std::string>{"missing.png", "missing@3x.png", "missing@2x.png"}));
  EXPECT_EQ(sourceScale, 0);
  mGraphics.mLocated.clear();
  mGraphics.SearchImageResource("dir.v2/noext", "png", result, 2, sourceScale);
  EXPECT_EQ(mGraphics.mLocated.front(), "dir.v2/noext@2x") << "no extension: the suffix goes at the end";
}

TEST_F(Resources, FontsLoadThroughThePlatformAndTheBackEnd) {
  EXPECT_TRUE(mGraphics.LoadFont("Roboto-Regular", "Roboto-Regular.ttf"));
  EXPECT_FALSE(mGraphics.LoadFont("Other", "Other.ttf"));
  EXPECT_EQ(mGraphics.mLoadedFonts, std::vector<std::string>{"Roboto-Regular"});
  const char bytes[16] = {1};
  EXPECT_TRUE(mGraphics.LoadFont("Mem", bytes, sizeof(bytes)));
  EXPECT_FALSE(mGraphics.LoadFont("Empty", nullptr, 0));
}

TEST_F(Resources, MeasuringNoTextGivesZero) {
  IBounds b(1, 2, 3, 4);
  EXPECT_EQ(mGraphics.MeasureText(ITextStyle(), "", b), 0.f);
  EXPECT_EQ(mGraphics.MeasureText(ITextStyle(), nullptr, b), 0.f);
  EXPECT_EQ(b, IBounds(1, 2, 3, 4));
  EXPECT_EQ(mGraphics.MeasureText(ITextStyle(), "ab", b), 14.f);
}

TEST(ITransform, ComposesLikeACanvas) {
  ITransform t;
  t.Translate(10, 20).Rotate(90).Scale(2, 3);
  double x = 1, y = 1;
  t.TransformPoint(x, y);
  // Scale first (2, 3), then rotate a quarter turn clockwise on screen (-3, 2), then move.
  EXPECT_NEAR(x, 7, 1e-12);
  EXPECT_NEAR(y, 22, 1e-12);
  ITransform inv = t;
  ASSERT_TRUE(inv.Invert());
  inv.TransformPoint(x, y);
  EXPECT_NEAR(x, 1, 1e-12);
  EXPECT_NEAR(y, 1, 1e-12);
  ITransform singular(0, 0, 0, 0, 1, 1);
  EXPECT_FALSE(singular.Invert());
}
