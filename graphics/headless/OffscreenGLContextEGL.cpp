// The off-screen context on Linux: EGL on Mesa's surfaceless platform, desktop OpenGL,
// no display server and no surface (the context is made current without one).
#ifndef _WIN32
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <mutex>
#include <string>

#include "graphics/headless/OffscreenGLContext.h"

namespace igraphics {

namespace {

std::mutex gDisplayMutex;
EGLDisplay gDisplay = EGL_NO_DISPLAY;
int gDisplayUsers = 0;
std::string gLastError;

// eglTerminate ends a display for every user in the process, so it is shared and ended with
// its last context.
EGLDisplay AcquireDisplay() {
  std::lock_guard<std::mutex> lock(gDisplayMutex);
  if (gDisplay == EGL_NO_DISPLAY) {
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) {
      gLastError = "EGL has no eglGetPlatformDisplayEXT";
      return EGL_NO_DISPLAY;
    }
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
      gLastError = "no surfaceless EGL display (Mesa's libegl-mesa0 is needed)";
      return EGL_NO_DISPLAY;
    }
    gDisplay = display;
  }
  ++gDisplayUsers;
  return gDisplay;
}

void ReleaseDisplay() {
  std::lock_guard<std::mutex> lock(gDisplayMutex);
  if (--gDisplayUsers == 0 && gDisplay != EGL_NO_DISPLAY) {
    eglTerminate(gDisplay);
    gDisplay = EGL_NO_DISPLAY;
  }
}

GLProc LookUp(const char* name) { return reinterpret_cast<GLProc>(eglGetProcAddress(name)); }

class OffscreenGLContextEGL final : public OffscreenGLContext {
public:
  explicit OffscreenGLContextEGL(EGLDisplay display) : mDisplay(display) {}
  ~OffscreenGLContextEGL() override {
    if (mContext != EGL_NO_CONTEXT) {
      if (eglGetCurrentContext() == mContext) eglMakeCurrent(mDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
      eglDestroyContext(mDisplay, mContext);
    }
    ReleaseDisplay();
  }

  bool Init() {
    if (!eglBindAPI(EGL_OPENGL_API)) {
      gLastError = "EGL offers no desktop OpenGL";
      return false;
    }
    const EGLint configAttribs[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8,
                                    EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8, EGL_STENCIL_SIZE, 8, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint nConfigs = 0;
    if (!eglChooseConfig(mDisplay, configAttribs, &config, 1, &nConfigs) || nConfigs < 1) config = nullptr;
    // An OpenGL 2.1 context; Mesa gives its compatibility profile, which includes it.
    const EGLint contextAttribs[] = {EGL_CONTEXT_MAJOR_VERSION, 2, EGL_CONTEXT_MINOR_VERSION, 1, EGL_NONE};
    mContext = eglCreateContext(mDisplay, config, EGL_NO_CONTEXT, contextAttribs);
    if (mContext == EGL_NO_CONTEXT) {
      gLastError = "eglCreateContext failed";
      return false;
    }
    return true;
  }

  bool Activate() override {
    mPrevDisplay = eglGetCurrentDisplay();
    mPrevContext = eglGetCurrentContext();
    mPrevDraw = eglGetCurrentSurface(EGL_DRAW);
    mPrevRead = eglGetCurrentSurface(EGL_READ);
    return eglMakeCurrent(mDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, mContext) == EGL_TRUE;
  }

  void Deactivate() override {
    if (mPrevContext != EGL_NO_CONTEXT && mPrevDisplay != EGL_NO_DISPLAY)
      eglMakeCurrent(mPrevDisplay, mPrevDraw, mPrevRead, mPrevContext);
    else
      eglMakeCurrent(mDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    mPrevDisplay = EGL_NO_DISPLAY;
    mPrevContext = EGL_NO_CONTEXT;
  }

  GLProcLoader Loader() const override { return &LookUp; }

private:
  EGLDisplay mDisplay;
  EGLContext mContext = EGL_NO_CONTEXT;
  EGLDisplay mPrevDisplay = EGL_NO_DISPLAY;
  EGLContext mPrevContext = EGL_NO_CONTEXT;
  EGLSurface mPrevDraw = EGL_NO_SURFACE;
  EGLSurface mPrevRead = EGL_NO_SURFACE;
};

}  // namespace

std::unique_ptr<OffscreenGLContext> OffscreenGLContext::Create() {
  EGLDisplay display = AcquireDisplay();
  if (display == EGL_NO_DISPLAY) return nullptr;
  auto context = std::make_unique<OffscreenGLContextEGL>(display);
  if (!context->Init()) return nullptr;
  return context;
}

const char* OffscreenGLContext::LastError() { return gLastError.c_str(); }

}  // namespace igraphics
#endif
