// NanoVG's OpenGL 2 renderer and its framebuffer helpers. The helpers are compiled with
// framebuffer objects enabled because the generated loader supplies those entry points
// (GL_ARB_framebuffer_object, or GL_EXT_framebuffer_object aliased by LoadOpenGL).
#include <glad/gl.h>

#include "nanovg.h"
#define NANOVG_GL2_IMPLEMENTATION 1
#define NANOVG_FBO_VALID 1
#include "nanovg_gl.h"
#include "nanovg_gl_utils.h"
