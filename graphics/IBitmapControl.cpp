#include "graphics/IBitmapControl.h"

#include "graphics/IGraphics.h"

namespace igraphics {

IBitmapControl::IBitmapControl(float x, float y, const IBitmapRef& bitmap, int paramIdx, int blendType)
    : IControl(FrameRectAt(x, y, bitmap), paramIdx), IBitmapBase(bitmap) {
  mBlend = IBlend(blendType, 1.f);
  AttachIControl(this);
}

IBitmapControl::IBitmapControl(const IBounds& bounds, const IBitmapRef& bitmap, int paramIdx, int blendType)
    : IControl(FrameRectIn(bounds, bitmap), paramIdx), IBitmapBase(bitmap) {
  mBlend = IBlend(blendType, 1.f);
  AttachIControl(this);
}

void IBitmapControl::OnRescale() {
  if (mGraphics) RescaleBitmap(*mGraphics);
}

}  // namespace igraphics
