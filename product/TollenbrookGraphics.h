#pragma once

namespace igraphics {
class IGraphics;
class IGEditorDelegate;
}  // namespace igraphics

// The product's graphics factory: a new graphics context of the NanoVG back end for the
// delegate at the given size, frame rate and draw scale, given the module's resource handle:
// the editor's child window on Windows; on Linux its X window when an X display can be
// reached, else the off-screen context (a machine without a display still draws the editor,
// for snapshots). The delegate takes ownership. It fits TollenbrookGraphicsMaker, so the
// plug-in installs it with InstallTollenbrookEditor(*this, MakeTollenbrookGraphics).
// Host main thread (the editor's thread), when the editor opens.
igraphics::IGraphics* MakeTollenbrookGraphics(igraphics::IGEditorDelegate& delegate, int width, int height, int fps,
                                              float scale);

// The same editor always drawn off-screen, on every system: for pictures that must not
// depend on a window system (the snapshot command on Linux, tests).
igraphics::IGraphics* MakeTollenbrookOffscreenGraphics(igraphics::IGEditorDelegate& delegate, int width, int height,
                                                       int fps, float scale);
