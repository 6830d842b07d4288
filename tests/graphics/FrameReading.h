#pragma once
#include <string>
#include <vector>

#include "graphics/IGraphics.h"
#include "graphics/RecordingGraphics.h"

namespace testgraphics {

// Names the controls a frame drew, in order: "c<i>" for the control at index i of the list
// (matched by the bitmap's destination), "resizer" and "bubble".
std::vector<std::string> DrawnControls(const std::vector<DrawOp>& frame, const IGraphics& g);
// The bitmap draws of a frame whose destination starts at (x, y).
std::vector<DrawOp> BitmapDrawsAt(const std::vector<DrawOp>& frame, float x, float y);

}  // namespace testgraphics
