#pragma once
#include <functional>

namespace igraphics {
class IControl;
class IGraphics;
class IGEditorDelegate;
}  // namespace igraphics

// Tollenbrook's editor: a fixed bitmap panel of 378 x 591 units that zooms between half and
// twice its size, with ten film-strip knobs, three switches and two needle meters.

inline constexpr int kEditorWidth = 378;
inline constexpr int kEditorHeight = 591;
inline constexpr int kEditorFPS = 60;
inline constexpr float kEditorScale = 1.f;

// Builds the editor's graphics context (the platform's, with the NanoVG back end) for a
// delegate at the given size, frame rate and draw scale; the delegate takes ownership.
using TollenbrookGraphicsMaker =
    std::function<igraphics::IGraphics*(igraphics::IGEditorDelegate& delegate, int width, int height, int fps,
                                        float scale)>;

// Attaches the corner resizer, background, bubble, font and the fifteen controls.
// Editor thread, each time the editor opens.
void LayoutTollenbrookEditor(igraphics::IGraphics* pGraphics);

// Action function of the knobs and the oversampling switch: shows the bound parameter's
// display text in the value bubble above the control. Editor thread.
void ShowValueBubble(igraphics::IControl* pCaller);

// Installs the graphics factory (editor size 378 x 591, 60 frames per second, scale 1) and
// the layout in the delegate. Called once from the plug-in's constructor.
void InstallTollenbrookEditor(igraphics::IGEditorDelegate& delegate, TollenbrookGraphicsMaker makeGraphics);
