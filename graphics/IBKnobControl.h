#pragma once
#include "graphics/IBitmapBase.h"
#include "graphics/IKnobControlBase.h"

namespace igraphics {

// A film-strip knob: one frame per value of its parameter.
class IBKnobControl : public IKnobControlBase, public IBitmapBase {
public:
  IBKnobControl(float x, float y, const IBitmapRef& bitmap, int paramIdx, int direction = kVertical,
                double gearing = 4.0);
  IBKnobControl(const IBounds& bounds, const IBitmapRef& bitmap, int paramIdx, int direction = kVertical,
                double gearing = 4.0);

  void OnRescale() override;
  void Draw(IGraphics& g) override { DrawBitmap(g); }
};

}  // namespace igraphics
