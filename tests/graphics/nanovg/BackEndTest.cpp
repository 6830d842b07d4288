// The NanoVG back end's own rules: framebuffer sizes at every scale, the image at other draw
// scales, frame source offsets, deferred framebuffer deletion, extensions, fonts and view teardown.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "graphics/IControl.h"
#include "product/TollenbrookParams.h"
#include "tests/graphics/nanovg/HeadlessEditor.h"

namespace tbtest {
namespace {

using igraphics::IBounds;
using igraphics::IGraphicsNanoVG;

class BackEnd : public HeadlessEditor {};

// int(int(w x drawScale) x screenScale), each product truncated.
int Expected(int units, float drawScale, float screenScale) {
  return static_cast<int>(static_cast<float>(static_cast<int>(static_cast<float>(units) * drawScale)) * screenScale);
}

TEST_F(BackEnd, MainFrameBufferFollowsDrawAndScreenScale) {
  TB_OPEN_EDITOR();
  EXPECT_EQ(G().MainFrameBufferWidth(), 378);
  EXPECT_EQ(G().MainFrameBufferHeight(), 591);
  const float draws[] = {1.f, 0.5f, 2.f, 0.75f, 1.3f};
  const float screens[] = {1.f, 1.5f, 2.f, 1.25f};
  for (float d : draws) {
    for (float s : screens) {
      G().Resize(378, 591, d, true);
      G().SetScreenScale(s);
      EXPECT_EQ(G().MainFrameBufferWidth(), Expected(378, d, s)) << d << " x " << s;
      EXPECT_EQ(G().MainFrameBufferHeight(), Expected(591, d, s)) << d << " x " << s;
    }
  }
  // The worked cases: 591 at 1.5 is 886.5 -> 886; 0.5 then 1.5 gives int(int(295.5) x 1.5) = 442.
  G().Resize(378, 591, 1.f, true);
  G().SetScreenScale(1.5f);
  EXPECT_EQ(G().MainFrameBufferHeight(), 886);
  G().Resize(378, 591, 0.5f, true);
  EXPECT_EQ(G().MainFrameBufferWidth(), 283);
  EXPECT_EQ(G().MainFrameBufferHeight(), 442);
}

// The window image at draw scale 2 is the scale-1 image doubled: the 2x strips map one to
// one, and averaging each 2 x 2 block gives back what scale 1 shows.
TEST_F(BackEnd, DrawScaleTwoDoublesTheImage) {
  TB_OPEN_EDITOR();
  G().DrawAll();
  const Image one = Window();
  G().Resize(378, 591, 2.f, true);
  G().DrawFrame();
  const Image two = Window();
  ASSERT_EQ(G().MainFrameBufferWidth(), 756);
  ASSERT_EQ(two.w, 756);
  ASSERT_EQ(two.h, 1182);
  const Image bg = ProductImage("BG.png");
  // One to one with the stored background where no control sits.
  double worstBg = 0.0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 756; ++x) worstBg = std::max(worstBg, Diff(two.At(x, y), SampleAt(bg, x + 0.5, y + 0.5)));
  EXPECT_LE(worstBg, 2.0);
  // Block averages against scale 1 (away from the corner resizer, drawn at a fixed screen size).
  double worst = 0.0;
  for (int y = 0; y < 560; ++y) {
    for (int x = 0; x < 378; ++x) {
      Pixel avg{0, 0, 0, 0};
      for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i) {
          const uint8_t* p = two.At(2 * x + i, 2 * y + j);
          avg.r += p[0] / 4.0, avg.g += p[1] / 4.0, avg.b += p[2] / 4.0, avg.a += p[3] / 4.0;
        }
      worst = std::max(worst, Diff(one.At(x, y), avg));
    }
  }
  EXPECT_LE(worst, 24.0);  // anti-aliased edges differ a little between the two rasterisations
}

TEST_F(BackEnd, DrawScaleHalfHalvesTheImage) {
  TB_OPEN_EDITOR();
  G().Resize(378, 591, 0.5f, true);
  G().DrawAll();
  const Image half = Window();
  ASSERT_EQ(half.w, 189);
  ASSERT_EQ(half.h, 295);
  const Image bg = ProductImage("BG.png");
  // Each window pixel samples the 2x background at its centre: texel (4x + 2, 4y + 2).
  double worst = 0.0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 189; ++x) worst = std::max(worst, Diff(half.At(x, y), SampleAt(bg, 4 * x + 2, 4 * y + 2)));
  EXPECT_LE(worst, 3.0);
}

// Frame k of a horizontal strip starts (k - 1) x mW / N logical units into it; frame 3 of a
// 300 x 50 unit 2x strip of 6 frames is 100 units, 200 pixels, in.
TEST_F(BackEnd, FramesOfAHorizontalStripSelectTheirSourceOffset) {
  TB_OPEN_EDITOR();
  const int w = 600, h = 100, frames = 6;
  std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &pixels[(static_cast<size_t>(y) * w + x) * 4];
      p[0] = static_cast<uint8_t>(40 * (x / (w / frames)));  // frame index in red
      p[1] = static_cast<uint8_t>(x % (w / frames));         // position within the frame in green
      p[2] = 0;
      p[3] = 255;
    }
  G().ActivateGLContext();
  IGraphicsNanoVG::Bitmap bitmap(static_cast<NVGcontext*>(G().GetDrawContext()), w, h, pixels.data(), 2.f, 1.f);
  const igraphics::IBitmapRef strip(&bitmap, 300, 50, frames, true, "strip");
  EXPECT_EQ(strip.FW(), 50);
  const IBounds dest(100.f, 120.f, 150.f, 170.f);
  G().BeginFrame();
  G().PathClipRegion(IBounds(0.f, 0.f, 378.f, 591.f));
  G().DrawBitmap(strip, dest, 3, nullptr);
  G().EndFrame();
  G().DeactivateGLContext();
  const Image window = Window();
  // Frame 3 carries red 80; window pixel x samples texels 2(x - 100) and 2(x - 100) + 1 of it.
  for (int x = 101; x < 149; x += 7) {
    const uint8_t* p = window.At(x, 140);
    EXPECT_EQ(p[0], 80) << x;
    EXPECT_NEAR(p[1], 2 * (x - 100) + 0.5, 1.0) << x;
  }
}

// A render target deleted while a frame is drawn keeps its framebuffer until the frame has
// been copied to the window.
TEST_F(BackEnd, FramebufferDeletionWaitsForTheEndOfTheFrame) {
  TB_OPEN_EDITOR();
  G().ActivateGLContext();
  auto outside = G().CreateAPIBitmap(32, 32, 1.f, 1.0);
  ASSERT_NE(outside, nullptr);
  outside.reset();
  EXPECT_EQ(G().NQueuedFBODeletions(), 0);  // not drawing: deleted at once

  G().BeginFrame();
  EXPECT_TRUE(G().IsInDraw());
  auto target = G().CreateAPIBitmap(64, 48, 1.f, 1.0);
  ASSERT_NE(target, nullptr);
  EXPECT_EQ(target->GetWidth(), 64);
  EXPECT_EQ(target->GetHeight(), 48);
  target.reset();
  EXPECT_EQ(G().NQueuedFBODeletions(), 1);
  G().EndFrame();
  EXPECT_FALSE(G().IsInDraw());
  EXPECT_EQ(G().NQueuedFBODeletions(), 0);
  G().DeactivateGLContext();
}

TEST_F(BackEnd, BitmapExtensions) {
  TB_OPEN_EDITOR();
  for (const char* ok : {"PNG", "png", "Jpeg", "jpg", "JPG"}) EXPECT_TRUE(G().BitmapExtSupported(ok)) << ok;
  for (const char* no : {"gif", "bmp", "", "svg"}) EXPECT_FALSE(G().BitmapExtSupported(no)) << no;
  EXPECT_FALSE(G().LoadBitmap("BG.gif").IsValid());
  EXPECT_STREQ(G().GetDrawingAPIName(), "NanoVG | GL2");
}

// Every image of the layout, read back through the lookup, has the logical size of its frames.
TEST_F(BackEnd, ProductImagesLoadAtTheirLogicalSizes) {
  TB_OPEN_EDITOR();
  struct Row {
    const char* name;
    int frames, frameW, frameH;
  };
  const Row rows[] = {{"BG.png", 1, 378, 591},      {"BYPASS.png", 2, 43, 32}, {"EXT.png", 2, 43, 32},
                      {"OVER.png", 2, 96, 8},       {"CTHR.png", 16, 81, 100}, {"LTHR.png", 23, 81, 100},
                      {"GAIN.png", 21, 81, 100},    {"RAT.png", 5, 81, 100},   {"REC.png", 6, 81, 100},
                      {"MIX.png", 23, 61, 75},      {"SIDE.png", 5, 61, 75},   {"METER.png", 101, 155, 72}};
  for (const Row& r : rows) {
    const igraphics::IBitmapRef bitmap = G().LoadBitmap(r.name, r.frames);
    ASSERT_TRUE(bitmap.IsValid()) << r.name;
    EXPECT_EQ(bitmap.GetScale(), 2.f) << r.name;  // found as the stored 2x image at screen scale 1
    EXPECT_EQ(bitmap.FW(), r.frameW) << r.name;
    EXPECT_EQ(bitmap.FH(), r.frameH) << r.name;
  }
  // Any mixture of case finds the same image, and a second load is a cache hit.
  const int cached = G().GetBitmapCache().Size();
  const igraphics::IBitmapRef mixed = G().LoadBitmap("bg.PNG");
  ASSERT_TRUE(mixed.IsValid());
  EXPECT_EQ(mixed.W(), 378);
  EXPECT_EQ(mixed.H(), 591);
  EXPECT_EQ(G().GetBitmapCache().Size(), cached + 1);  // cached under its own name
  EXPECT_EQ(G().LoadBitmap("BG.png").GetAPIBitmap(), G().LoadBitmap("BG.png").GetAPIBitmap());
  // On a 1.5 screen the target is 2 and the stored image is found at once.
  G().SetScreenScale(1.5f);
  EXPECT_EQ(G().LoadBitmap("CTHR.png", 16).GetScale(), 2.f);
}

TEST_F(BackEnd, FontComesFromTheModuleAndMeasuresText) {
  TB_OPEN_EDITOR();
  IBounds bounds(0.f, 0.f, 200.f, 40.f);
  const igraphics::ITextStyle style;
  const float narrow = G().MeasureText(style, "1", bounds);
  const float wide = G().MeasureText(style, "-20dB", bounds);
  EXPECT_GT(narrow, 0.f);
  EXPECT_GT(wide, 2.f * narrow);
  EXPECT_FALSE(G().LoadFont("Missing", "NoSuchFont.ttf"));
}

// Closing the view deletes the controls with their bitmaps; opening it again builds the same
// editor, pixel for pixel.
TEST_F(BackEnd, ReopeningGivesTheSameEditor) {
  TB_OPEN_EDITOR();
  SetParam(kParamRatio, 3);
  G().DrawAll();
  const Image first = Window();
  EXPECT_EQ(G().NControls(), 16);
  G().OnViewDestroyed();
  EXPECT_EQ(G().NControls(), 0);
  EXPECT_EQ(G().GetBitmapCache().Size(), 0);
  EXPECT_EQ(G().GetDrawContext(), nullptr);
  mDelegate.CloseEditor();
  ASSERT_TRUE(Open());
  SetParam(kParamRatio, 3);
  G().DrawAll();
  const Image second = Window();
  EXPECT_EQ(G().NControls(), 16);
  ASSERT_EQ(first.px.size(), second.px.size());
  EXPECT_TRUE(first.px == second.px);
}

}  // namespace
}  // namespace tbtest

#include <fstream>
#include <iterator>

#include "graphics/headless/WindowSnapshot.h"

namespace tbtest {
namespace {

// The snapshot of the window is a PNG of the window's size holding the window's pixels.
TEST_F(BackEnd, WindowSnapshotIsAPNGOfTheWindow) {
  TB_OPEN_EDITOR();
  G().DrawAll();
  const Image window = Window();
  const std::string path = ::testing::TempDir() + "tollenbrook-snapshot.png";
  ASSERT_TRUE(igraphics::WriteWindowPNG(G(), path.c_str()));
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const Image back = DecodePNG(bytes.data(), static_cast<int>(bytes.size()));
  ASSERT_EQ(back.w, 378);
  ASSERT_EQ(back.h, 591);
  EXPECT_TRUE(back.px == window.px);  // the editor is opaque: straight and premultiplied agree
  std::remove(path.c_str());
  EXPECT_FALSE(igraphics::WritePixelsPNG(path.c_str(), window.px, 10, 10));  // wrong size refused
}

}  // namespace
}  // namespace tbtest
