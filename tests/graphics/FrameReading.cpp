#include "graphics/FrameReading.h"

namespace testgraphics {

std::vector<std::string> DrawnControls(const std::vector<DrawOp>& frame, const IGraphics& g) {
  std::vector<std::string> drawn;
  std::string current;
  for (const DrawOp& op : frame) {
    switch (op.kind) {
      case DrawOp::kClip: current.clear(); break;
      case DrawOp::kShadow: current = "bubble"; break;
      case DrawOp::kFill:
        if (current.empty() && op.points.size() == 3) current = "resizer";
        break;
      case DrawOp::kBitmap:
        if (current.empty()) {
          current = "?";
          for (int i = 0; i < g.NControls(); ++i) {
            const IBounds& r = g.GetControl(i)->GetRECT();
            if (r.L == op.rect.L && r.T == op.rect.T) current = "c" + std::to_string(i);
          }
        }
        break;
      case DrawOp::kControlDrawn:
        drawn.push_back(current.empty() ? "?" : current);
        current.clear();
        break;
      default: break;
    }
  }
  return drawn;
}

std::vector<DrawOp> BitmapDrawsAt(const std::vector<DrawOp>& frame, float x, float y) {
  std::vector<DrawOp> draws;
  for (const DrawOp& op : frame)
    if (op.kind == DrawOp::kBitmap && op.rect.L == x && op.rect.T == y) draws.push_back(op);
  return draws;
}

}  // namespace testgraphics
