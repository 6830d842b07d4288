#pragma once

namespace igraphics {

using GLProc = void (*)();
using GLProcLoader = GLProc (*)(const char* name);

// Loads the OpenGL entry points of the context current on this thread through the platform's
// lookup (eglGetProcAddress, wglGetProcAddress ...). True when the context offers OpenGL 2.1
// and framebuffer objects, the least the NanoVG back end draws with.
// UI thread, with the editor's GL context current.
bool LoadOpenGL(GLProcLoader loader);

// The version and renderer strings of the current context, for diagnostics ("" before loading).
const char* GLVersionString();
const char* GLRendererString();

}  // namespace igraphics
