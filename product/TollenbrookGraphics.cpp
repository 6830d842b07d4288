#include "product/TollenbrookGraphics.h"

#include "graphics/headless/IGraphicsHeadless.h"
#include "product/TollenbrookResources.h"

#ifdef _WIN32
#include "graphics/win/IGraphicsWin.h"
#else
#include "graphics/x11/IGraphicsX11.h"
#endif

igraphics::IGraphics* MakeTollenbrookGraphics(igraphics::IGEditorDelegate& delegate, int width, int height, int fps,
                                              float scale) {
#ifdef _WIN32
  // The editor's child window inside the host's window.
  auto* graphics = new igraphics::IGraphicsWin(delegate, width, height, fps, scale);
#else
  // The editor's X window inside the host's window; with no display to show it on, the
  // editor still draws, off-screen.
  if (!igraphics::IGraphicsX11::DisplayAvailable())
    return MakeTollenbrookOffscreenGraphics(delegate, width, height, fps, scale);
  auto* graphics = new igraphics::IGraphicsX11(delegate, width, height, fps, scale);
#endif
  graphics->SetWinModuleHandle(TollenbrookResourceModule());
  return graphics;
}

igraphics::IGraphics* MakeTollenbrookOffscreenGraphics(igraphics::IGEditorDelegate& delegate, int width, int height,
                                                       int fps, float scale) {
  auto* graphics = new igraphics::IGraphicsHeadless(delegate, width, height, fps, scale);
  graphics->SetWinModuleHandle(TollenbrookResourceModule());
  return graphics;
}
