#include "product/TollenbrookGraphics.h"

#include "product/TollenbrookResources.h"

#ifdef _WIN32
#include "graphics/win/IGraphicsWin.h"
#else
#include "graphics/headless/IGraphicsHeadless.h"
#endif

igraphics::IGraphics* MakeTollenbrookGraphics(igraphics::IGEditorDelegate& delegate, int width, int height, int fps,
                                              float scale) {
#ifdef _WIN32
  // The editor's child window inside the host's window.
  auto* graphics = new igraphics::IGraphicsWin(delegate, width, height, fps, scale);
#else
  // No window system here yet: the editor draws off-screen (command-line host, tests).
  auto* graphics = new igraphics::IGraphicsHeadless(delegate, width, height, fps, scale);
#endif
  graphics->SetWinModuleHandle(TollenbrookResourceModule());
  return graphics;
}
