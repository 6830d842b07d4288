#pragma once
#include <memory>
#include <string>

#include "graphics/nanovg/GLLoader.h"

namespace igraphics {

// An OpenGL 2 context that draws without a window on the screen. It has no default
// framebuffer worth drawing into: its owner renders into a framebuffer object.
// UI thread: a context is made current only between Activate and Deactivate.
class OffscreenGLContext {
public:
  // A new context, or null when the system offers none (LastError() tells why).
  static std::unique_ptr<OffscreenGLContext> Create();
  static const char* LastError();
  // The same, with the reason for an editor that could not open in error.
  static std::unique_ptr<OffscreenGLContext> Create(std::string& error);

  virtual ~OffscreenGLContext() = default;
  // Makes this context current, remembering the thread's previous one.
  virtual bool Activate() = 0;
  // Makes the remembered previous context current again.
  virtual void Deactivate() = 0;
  // Looks up GL entry points for LoadOpenGL.
  virtual GLProcLoader Loader() const = 0;
};

}  // namespace igraphics
