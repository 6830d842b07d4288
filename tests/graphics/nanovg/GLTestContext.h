#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "graphics/headless/OffscreenGLContext.h"

namespace tbtest {

// An off-screen GL context for tests. Linux always has one (Mesa's surfaceless EGL), so a
// failure there fails the test; Windows under Wine has one only with a display and a working
// WGL, so the drawing tests are skipped there when it cannot be made.
inline std::unique_ptr<igraphics::OffscreenGLContext> MakeTestGLContext() {
  return igraphics::OffscreenGLContext::Create();
}

#ifdef _WIN32
#define TB_REQUIRE_GL(context)                                                                       \
  if (!(context)) GTEST_SKIP() << "no WGL context under this Wine (needs a display with OpenGL): " \
                               << igraphics::OffscreenGLContext::LastError()
#else
#define TB_REQUIRE_GL(context) \
  ASSERT_TRUE(context) << "no surfaceless EGL context: " << igraphics::OffscreenGLContext::LastError()
#endif

}  // namespace tbtest
