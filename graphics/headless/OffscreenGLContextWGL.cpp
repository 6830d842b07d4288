// The off-screen context on Windows: the WGL context of a hidden window. The window is never
// shown; drawing goes into a framebuffer object.
#ifdef _WIN32
#include <windows.h>

#include <mutex>
#include <string>

#include "graphics/headless/OffscreenGLContext.h"
#include "graphics/headless/WGLPixelFormat.h"

namespace igraphics {

namespace {

constexpr const char* kWindowClass = "TollenbrookOffscreenGL";
std::mutex gClassMutex;
int gClassUsers = 0;
std::string gLastError;

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ThisModule), &module);
  return module;
}

bool AcquireClass() {
  std::lock_guard<std::mutex> lock(gClassMutex);
  if (gClassUsers == 0) {
    WNDCLASSA wc{};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = ThisModule();
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassA(&wc)) return false;
  }
  ++gClassUsers;
  return true;
}

void ReleaseClass() {
  std::lock_guard<std::mutex> lock(gClassMutex);
  if (--gClassUsers == 0) UnregisterClassA(kWindowClass, ThisModule());
}

// wglGetProcAddress knows only what opengl32 does not export itself (everything after 1.1).
GLProc LookUp(const char* name) {
  static HMODULE opengl32 = LoadLibraryA("opengl32.dll");
  PROC proc = wglGetProcAddress(name);
  const auto value = reinterpret_cast<INT_PTR>(proc);
  if (value == 0 || value == 1 || value == 2 || value == 3 || value == -1)
    proc = opengl32 ? GetProcAddress(opengl32, name) : nullptr;
  return reinterpret_cast<GLProc>(proc);
}

class OffscreenGLContextWGL final : public OffscreenGLContext {
public:
  ~OffscreenGLContextWGL() override {
    if (mContext) {
      if (wglGetCurrentContext() == mContext) wglMakeCurrent(nullptr, nullptr);
      wglDeleteContext(mContext);
    }
    if (mWindow) {
      if (mDC) ReleaseDC(mWindow, mDC);
      DestroyWindow(mWindow);
    }
    if (mHasClass) ReleaseClass();
  }

  bool Init() {
    mHasClass = AcquireClass();
    if (!mHasClass) {
      gLastError = "RegisterClassA failed";
      return false;
    }
    mWindow = CreateWindowExA(0, kWindowClass, "Tollenbrook", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr, ThisModule(),
                              nullptr);
    mDC = mWindow ? GetDC(mWindow) : nullptr;
    if (!mDC) {
      gLastError = "no hidden window for OpenGL";
      return false;
    }
    if (!SetEditorPixelFormat(mDC)) {
      gLastError = "no OpenGL pixel format";
      return false;
    }
    mContext = wglCreateContext(mDC);
    if (!mContext) {
      gLastError = "wglCreateContext failed";
      return false;
    }
    return true;
  }

  bool Activate() override {
    mPrevDC = wglGetCurrentDC();
    mPrevContext = wglGetCurrentContext();
    return wglMakeCurrent(mDC, mContext) != FALSE;
  }

  void Deactivate() override {
    wglMakeCurrent(mPrevContext ? mPrevDC : nullptr, mPrevContext);
    mPrevDC = nullptr;
    mPrevContext = nullptr;
  }

  GLProcLoader Loader() const override { return &LookUp; }

private:
  bool mHasClass = false;
  HWND mWindow = nullptr;
  HDC mDC = nullptr;
  HGLRC mContext = nullptr;
  HDC mPrevDC = nullptr;
  HGLRC mPrevContext = nullptr;
};

}  // namespace

std::unique_ptr<OffscreenGLContext> OffscreenGLContext::Create() {
  auto context = std::make_unique<OffscreenGLContextWGL>();
  if (!context->Init()) return nullptr;
  return context;
}

const char* OffscreenGLContext::LastError() { return gLastError.c_str(); }

}  // namespace igraphics
#endif
