#pragma once

namespace igraphics {
class IGraphics;
class IGEditorDelegate;
}  // namespace igraphics

// The product's graphics factory: a new graphics context of the NanoVG back end for the
// delegate (the editor's child window on Windows, the off-screen context elsewhere), at the
// given size, frame rate and draw scale, given the module's resource handle.
// The delegate takes ownership. It fits TollenbrookGraphicsMaker, so the plug-in installs it
// with InstallTollenbrookEditor(*this, MakeTollenbrookGraphics).
// Host main thread (the editor's thread), when the editor opens.
igraphics::IGraphics* MakeTollenbrookGraphics(igraphics::IGEditorDelegate& delegate, int width, int height, int fps,
                                              float scale);
