#include "graphics/x11/GLXWindowContext.h"

#include <atomic>
#include <cstring>

namespace igraphics {

namespace {

std::atomic<int> gLiveContexts{0};

GLProc LookUp(const char* name) {
  return reinterpret_cast<GLProc>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

bool HasExtension(Display* display, int screen, const char* name) {
  const char* list = glXQueryExtensionsString(display, screen);
  const size_t n = std::strlen(name);
  for (const char* p = list; p && (p = std::strstr(p, name)) != nullptr; p += n)
    if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
  return false;
}

}  // namespace

std::unique_ptr<GLXWindowContext> GLXWindowContext::Create(Display* display, int screen, std::string& error) {
  int major = 0, minor = 0;
  if (!glXQueryVersion(display, &major, &minor) || major < 1 || (major == 1 && minor < 3)) {
    error = "the X display offers no GLX 1.3";
    return nullptr;
  }
  const int attribs[] = {GLX_X_RENDERABLE, True, GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT | GLX_PBUFFER_BIT,
                         GLX_RENDER_TYPE, GLX_RGBA_BIT, GLX_X_VISUAL_TYPE, GLX_TRUE_COLOR,
                         GLX_DOUBLEBUFFER, True, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                         GLX_ALPHA_SIZE, 8, GLX_DEPTH_SIZE, 24, GLX_STENCIL_SIZE, 8, None};
  int n = 0;
  GLXFBConfig* configs = glXChooseFBConfig(display, screen, attribs, &n);
  if (!configs || n < 1) {
    if (configs) XFree(configs);
    error = "no double-buffered RGBA OpenGL configuration with a stencil on this display";
    return nullptr;
  }
  std::unique_ptr<GLXWindowContext> c(new GLXWindowContext);
  c->mDisplay = display;
  c->mScreen = screen;
  c->mConfig = configs[0];
  XFree(configs);
  XVisualInfo* visual = glXGetVisualFromFBConfig(display, c->mConfig);
  if (!visual) {
    error = "the OpenGL configuration has no X visual";
    return nullptr;
  }
  c->mVisual = visual->visual;
  c->mDepth = visual->depth;
  XFree(visual);
  c->mContext = glXCreateNewContext(display, c->mConfig, GLX_RGBA_TYPE, nullptr, True);
  if (!c->mContext) {
    error = "the editor's OpenGL context cannot be created";
    return nullptr;
  }
  gLiveContexts.fetch_add(1, std::memory_order_relaxed);
  const int pbufferAttribs[] = {GLX_PBUFFER_WIDTH, 1, GLX_PBUFFER_HEIGHT, 1, None};
  c->mStandIn = glXCreatePbuffer(display, c->mConfig, pbufferAttribs);
  return c;
}

GLXWindowContext::~GLXWindowContext() {
  if (mContext) {
    if (glXGetCurrentContext() == mContext) glXMakeContextCurrent(mDisplay, None, None, nullptr);
    glXDestroyContext(mDisplay, mContext);
    gLiveContexts.fetch_sub(1, std::memory_order_relaxed);
  }
  if (mStandIn) glXDestroyPbuffer(mDisplay, mStandIn);
}

bool GLXWindowContext::MakeCurrent(Drawable drawable) {
  mPrevDisplay = glXGetCurrentDisplay();
  mPrevDraw = glXGetCurrentDrawable();
  mPrevRead = glXGetCurrentReadDrawable();
  mPrevContext = glXGetCurrentContext();
  const GLXDrawable target = drawable != None ? drawable : mStandIn;
  return target != None && glXMakeContextCurrent(mDisplay, target, target, mContext) == True;
}

void GLXWindowContext::Restore() {
  if (mPrevContext && mPrevContext != mContext && mPrevDisplay)
    glXMakeContextCurrent(mPrevDisplay, mPrevDraw, mPrevRead, mPrevContext);
  else
    glXMakeContextCurrent(mDisplay, None, None, nullptr);
  mPrevDisplay = nullptr;
  mPrevContext = nullptr;
  mPrevDraw = mPrevRead = 0;
}

void GLXWindowContext::SwapBuffers(Drawable drawable) { glXSwapBuffers(mDisplay, drawable); }

void GLXWindowContext::DisableSwapWait(Drawable drawable) {
  if (HasExtension(mDisplay, mScreen, "GLX_EXT_swap_control")) {
    if (auto f = reinterpret_cast<void (*)(Display*, GLXDrawable, int)>(LookUp("glXSwapIntervalEXT")))
      f(mDisplay, drawable, 0);
  } else if (HasExtension(mDisplay, mScreen, "GLX_MESA_swap_control")) {
    if (auto f = reinterpret_cast<int (*)(unsigned)>(LookUp("glXSwapIntervalMESA"))) f(0);
  }
}

GLProcLoader GLXWindowContext::Loader() const { return &LookUp; }

int GLXWindowContext::LiveContexts() { return gLiveContexts.load(std::memory_order_relaxed); }

}  // namespace igraphics
