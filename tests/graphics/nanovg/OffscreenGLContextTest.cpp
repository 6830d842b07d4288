#include <gtest/gtest.h>

#include <vector>

#include "graphics/nanovg/GLLoader.h"
#include "graphics/nanovg/NanoVGGL.h"
#include "tests/graphics/nanovg/GLTestContext.h"

namespace {

using igraphics::LoadOpenGL;

// NanoVG draws through the generated loader into a framebuffer object, and the pixels come
// back with the colour drawn: the whole chain below the back end works.
TEST(OffscreenGLContext, NanoVGFillsAFramebufferObject) {
  auto context = tbtest::MakeTestGLContext();
  TB_REQUIRE_GL(context);
  ASSERT_TRUE(context->Activate());
  ASSERT_TRUE(LoadOpenGL(context->Loader()));
  std::printf("OpenGL %s on %s\n", igraphics::GLVersionString(), igraphics::GLRendererString());

  NVGcontext* vg = nvgCreateGL2(NVG_ANTIALIAS);
  ASSERT_NE(vg, nullptr);
  NVGLUframebuffer* fb = nvgluCreateFramebuffer(vg, 40, 30, 0);
  ASSERT_NE(fb, nullptr);
  nvgluBindFramebuffer(fb);
  glViewport(0, 0, 40, 30);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  nvgBeginFrame(vg, 40, 30, 1.f);
  nvgBeginPath(vg);
  nvgRect(vg, 10, 5, 20, 10);  // x 10..30, y 5..15 from the top
  nvgFillColor(vg, nvgRGBA(200, 100, 50, 255));
  nvgFill(vg);
  nvgEndFrame(vg);

  std::vector<unsigned char> px(40 * 30 * 4);
  glReadPixels(0, 0, 40, 30, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  // GL rows run bottom-up, NanoVG's y runs down.
  auto at = [&](int x, int y) { return &px[static_cast<size_t>(((29 - y) * 40 + x) * 4)]; };
  const unsigned char* inside = at(20, 10);
  EXPECT_EQ(inside[0], 200);
  EXPECT_EQ(inside[1], 100);
  EXPECT_EQ(inside[2], 50);
  EXPECT_EQ(inside[3], 255);
  EXPECT_EQ(at(2, 2)[3], 0);
  EXPECT_EQ(at(35, 25)[3], 0);

  nvgluDeleteFramebuffer(fb);
  nvgDeleteGL2(vg);
  context->Deactivate();
}

}  // namespace
