#include "product/TollenbrookGraphics.h"

#include "graphics/headless/IGraphicsHeadless.h"
#include "product/TollenbrookResources.h"

igraphics::IGraphics* MakeTollenbrookGraphics(igraphics::IGEditorDelegate& delegate, int width, int height, int fps,
                                              float scale) {
  // TODO(windows window): on Windows this is a stand-in until the editor's child window class
  // exists. It draws the editor into the off-screen context of a hidden window, so opening,
  // layout, parameter traffic and closing behave as with a window, but nothing appears in
  // the host's view. Elsewhere the headless context is the intended one (command-line host,
  // tests).
  auto* graphics = new igraphics::IGraphicsHeadless(delegate, width, height, fps, scale);
  graphics->SetWinModuleHandle(TollenbrookResourceModule());
  return graphics;
}
