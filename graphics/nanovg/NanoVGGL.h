#pragma once
// The OpenGL declarations of the generated loader, NanoVG and its GL2 renderer. Only the
// NanoVG back end and the platform classes include this; portable code never sees GL types.
#include <glad/gl.h>

#include "nanovg.h"
#ifndef NANOVG_GL2
#define NANOVG_GL2 1
#endif
#include "nanovg_gl.h"
#include "nanovg_gl_utils.h"
