#pragma once
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <memory>
#include <string>

#include "graphics/nanovg/GLLoader.h"

namespace igraphics {

// The OpenGL context of an editor window, through GLX: a double-buffered RGBA frame-buffer
// configuration with depth and stencil (what NanoVG fills need), the visual the window must
// be made with, and the context. Making it current saves the thread's current GLX context
// and making it not current restores that one, so a host drawing with OpenGL on the same
// thread keeps its own. A small off-screen surface (a pbuffer) of the same configuration
// stands in for the window when the window is gone but GL objects must still be released.
// The thread that made it (the editor's UI thread).
class GLXWindowContext {
public:
  // Null with the reason when the display offers no such configuration or context.
  static std::unique_ptr<GLXWindowContext> Create(Display* display, int screen, std::string& error);
  ~GLXWindowContext();
  GLXWindowContext(const GLXWindowContext&) = delete;
  GLXWindowContext& operator=(const GLXWindowContext&) = delete;

  // What the window is made with.
  Visual* GetVisual() const { return mVisual; }
  int Depth() const { return mDepth; }

  // Makes the context current on the drawable (the window, or the stand-in with None),
  // remembering the thread's previous context. False when GLX refuses.
  bool MakeCurrent(Drawable drawable);
  // Makes the remembered previous context current again (or none).
  void Restore();
  void SwapBuffers(Drawable drawable);
  // Turns the swap's wait for the vertical blank off where the driver allows: the redraw
  // clock paces the frames, and the host's UI thread must not block in a swap.
  void DisableSwapWait(Drawable drawable);

  GLProcLoader Loader() const;

  // Contexts of this kind alive in the process (for leak checks).
  static int LiveContexts();

private:
  GLXWindowContext() = default;

  Display* mDisplay = nullptr;
  int mScreen = 0;
  GLXFBConfig mConfig = nullptr;
  GLXContext mContext = nullptr;
  GLXPbuffer mStandIn = 0;
  Visual* mVisual = nullptr;
  int mDepth = 0;
  Display* mPrevDisplay = nullptr;
  GLXDrawable mPrevDraw = 0;
  GLXDrawable mPrevRead = 0;
  GLXContext mPrevContext = nullptr;
};

}  // namespace igraphics
