#include "graphics/IBKnobControl.h"

#include "graphics/IBitmapControl.h"
#include "graphics/IGraphics.h"

namespace igraphics {

IBKnobControl::IBKnobControl(float x, float y, const IBitmapRef& bitmap, int paramIdx, int direction,
                             double gearing)
    : IKnobControlBase(FrameRectAt(x, y, bitmap), paramIdx, direction, gearing), IBitmapBase(bitmap) {
  AttachIControl(this);
}

IBKnobControl::IBKnobControl(const IBounds& bounds, const IBitmapRef& bitmap, int paramIdx, int direction,
                             double gearing)
    : IKnobControlBase(FrameRectIn(bounds, bitmap), paramIdx, direction, gearing), IBitmapBase(bitmap) {
  AttachIControl(this);
}

void IBKnobControl::OnRescale() {
  if (mGraphics) RescaleBitmap(*mGraphics);
}

}  // namespace igraphics
