#include "graphics/headless/OffscreenGLContext.h"

namespace igraphics {

std::unique_ptr<OffscreenGLContext> OffscreenGLContext::Create(std::string& error) {
  std::unique_ptr<OffscreenGLContext> context = Create();
  if (!context) error = std::string("no off-screen OpenGL context: ") + LastError();
  return context;
}

}  // namespace igraphics
