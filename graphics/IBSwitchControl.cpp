#include "graphics/IBSwitchControl.h"

#include "graphics/IBitmapControl.h"
#include "graphics/IGraphics.h"

namespace igraphics {

IBSwitchControl::IBSwitchControl(float x, float y, const IBitmapRef& bitmap, int paramIdx)
    : ISwitchControlBase(FrameRectAt(x, y, bitmap), paramIdx, nullptr, 2), IBitmapBase(bitmap) {
  AttachIControl(this);
}

IBSwitchControl::IBSwitchControl(const IBounds& bounds, const IBitmapRef& bitmap, int paramIdx)
    : ISwitchControlBase(FrameRectIn(bounds, bitmap), paramIdx, nullptr, 2), IBitmapBase(bitmap) {
  AttachIControl(this);
}

void IBSwitchControl::OnMouseDown(float, float, const IMouseMod&) {
  const int n = mBitmap.N();
  SetValue(GetValue(0) + (n > 1 ? 1.0 / (n - 1) : 1.0), 0);
  // Not 1.0: accumulated steps such as 1/3 + 1/3 + 1/3 must reach the last state, not wrap.
  if (GetValue(0) > 1.001) SetValue(0., 0);
  SetDirty(true);
}

void IBSwitchControl::OnRescale() {
  if (mGraphics) RescaleBitmap(*mGraphics);
}

}  // namespace igraphics
