#ifdef _WIN32
#include "graphics/headless/WGLPixelFormat.h"

namespace igraphics {

bool SetEditorPixelFormat(HDC dc) {
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof(pfd);
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 32;
  pfd.cDepthBits = 24;
  pfd.cStencilBits = 8;
  pfd.iLayerType = PFD_MAIN_PLANE;
  const int format = ChoosePixelFormat(dc, &pfd);
  return format != 0 && SetPixelFormat(dc, format, &pfd);
}

}  // namespace igraphics
#endif
