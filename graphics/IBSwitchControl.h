#pragma once
#include "graphics/IBitmapBase.h"
#include "graphics/ISwitchControlBase.h"

namespace igraphics {

// A film-strip switch: each click shows the next frame, wrapping after the last.
class IBSwitchControl : public ISwitchControlBase, public IBitmapBase {
public:
  IBSwitchControl(float x, float y, const IBitmapRef& bitmap, int paramIdx = kNoParameter);
  IBSwitchControl(const IBounds& bounds, const IBitmapRef& bitmap, int paramIdx = kNoParameter);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnRescale() override;
  void Draw(IGraphics& g) override { DrawBitmap(g); }
};

}  // namespace igraphics
