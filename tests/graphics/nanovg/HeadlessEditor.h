#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/IGEditorDelegate.h"
#include "graphics/headless/IGraphicsHeadless.h"
#include "graphics/headless/OffscreenGLContext.h"

namespace tbtest {

// RGBA pixels, rows from the top.
struct Image {
  int w = 0;
  int h = 0;
  std::vector<uint8_t> px;
  const uint8_t* At(int x, int y) const { return &px[(static_cast<size_t>(y) * static_cast<size_t>(w) + x) * 4]; }
  bool Empty() const { return px.empty(); }
};

// A PNG decoded with libstb-dev's stb_image (straight, not premultiplied, alpha).
Image DecodePNG(const void* data, int size);
// The bytes of a product resource, read through the module lookup.
std::vector<uint8_t> ProductResourceBytes(const char* name, const char* type);
// A file name of the product's module decoded: "BG.png" reads "BG@2x.png".
Image ProductImage(const char* name);

// What the GPU shows for a straight-alpha 2x image drawn at logical scale `scale` when a
// window pixel's centre falls exactly between texels (scale 1) or on them (scale 2): the
// bilinear sample at the centre, premultiplied.
struct Pixel {
  double r, g, b, a;  // premultiplied, 0..255
};
Pixel SampleAt(const Image& image, double tx, double ty);
// Source-over of a premultiplied pixel onto another.
Pixel Over(const Pixel& src, const Pixel& dst);
// Largest channel difference between a window pixel and an expected one.
double Diff(const uint8_t* px, const Pixel& expected);

// The editor delegate standing in for the plug-in: the product's parameters (names, ranges,
// defaults, display texts) and size limits, the product's layout, drawn off-screen.
class ProductDelegate : public igraphics::IGEditorDelegate {
public:
  ProductDelegate();
};

// The product's editor opened headless with its own resources, on a manual clock.
class HeadlessEditor : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  igraphics::IGraphicsHeadless& G() { return *static_cast<igraphics::IGraphicsHeadless*>(mDelegate.GetUI()); }
  bool Open();
  Image Window();
  // The value of a parameter pushed into the editor as the host would (not normalised).
  void SetParam(int paramIdx, double value) { mDelegate.SendParamValueToEditor(paramIdx, value, false); }
  // The first control bound to a parameter.
  igraphics::IControl* ControlFor(int paramIdx);
  void Advance(double ms) { mNowMs += ms, G().SetManualTimeMs(mNowMs); }

  ProductDelegate mDelegate;
  double mNowMs = 1000.0;
  bool mGLMissing = false;
};

}  // namespace tbtest

// Skips (Windows without GL under Wine) or fails (Linux) when the editor cannot open.
#ifdef _WIN32
#define TB_OPEN_EDITOR()                                                                        \
  if (!Open()) GTEST_SKIP() << "no OpenGL context under this Wine (needs a display with WGL): " \
                            << igraphics::OffscreenGLContext::LastError()
#else
#define TB_OPEN_EDITOR() ASSERT_TRUE(Open()) << "editor did not open: " << igraphics::OffscreenGLContext::LastError()
#endif
