#include "graphics/nanovg/GLLoader.h"

#include "graphics/nanovg/NanoVGGL.h"

namespace igraphics {

namespace {

GLADapiproc CallLoader(void* userptr, const char* name) {
  auto loader = reinterpret_cast<GLProcLoader>(userptr);
  return reinterpret_cast<GLADapiproc>(loader(name));
}

// Drivers that only know the EXT form of framebuffer objects get the core names pointed at
// it: NanoVG's framebuffer helpers call the core names.
void AliasFramebufferEXT() {
  if (GLAD_GL_ARB_framebuffer_object || !GLAD_GL_EXT_framebuffer_object) return;
  glad_glBindFramebuffer = glad_glBindFramebufferEXT;
  glad_glBindRenderbuffer = glad_glBindRenderbufferEXT;
  glad_glCheckFramebufferStatus = glad_glCheckFramebufferStatusEXT;
  glad_glDeleteFramebuffers = glad_glDeleteFramebuffersEXT;
  glad_glDeleteRenderbuffers = glad_glDeleteRenderbuffersEXT;
  glad_glFramebufferRenderbuffer = glad_glFramebufferRenderbufferEXT;
  glad_glFramebufferTexture2D = glad_glFramebufferTexture2DEXT;
  glad_glGenFramebuffers = glad_glGenFramebuffersEXT;
  glad_glGenRenderbuffers = glad_glGenRenderbuffersEXT;
  glad_glRenderbufferStorage = glad_glRenderbufferStorageEXT;
}

}  // namespace

bool LoadOpenGL(GLProcLoader loader) {
  if (!loader) return false;
  if (gladLoadGLUserPtr(&CallLoader, reinterpret_cast<void*>(loader)) == 0) return false;
  AliasFramebufferEXT();
  return GLAD_GL_VERSION_2_1 && glad_glBindFramebuffer && glad_glGenFramebuffers && glad_glDeleteFramebuffers &&
         glad_glDeleteRenderbuffers;
}

const char* GLVersionString() {
  if (!glad_glGetString) return "";
  const GLubyte* s = glGetString(GL_VERSION);
  return s ? reinterpret_cast<const char*>(s) : "";
}

const char* GLRendererString() {
  if (!glad_glGetString) return "";
  const GLubyte* s = glGetString(GL_RENDERER);
  return s ? reinterpret_cast<const char*>(s) : "";
}

}  // namespace igraphics
