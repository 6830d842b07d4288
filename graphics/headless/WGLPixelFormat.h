// The OpenGL pixel format of the editor's windows on Windows (its own child window, or the
// hidden window of the off-screen context).
#pragma once
#ifdef _WIN32
#include <windows.h>

namespace igraphics {

// Gives the window of dc a double-buffered RGBA format with 32 colour, 24 depth and 8 stencil
// bits (NanoVG's fills need the stencil). False when the system has none to offer. A window's
// pixel format is set once for its life. UI thread.
bool SetEditorPixelFormat(HDC dc);

}  // namespace igraphics
#endif
