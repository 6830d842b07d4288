#pragma once
#include "graphics/IBitmapBase.h"
#include "graphics/IControl.h"

namespace igraphics {

// Shows the frame of its strip that matches its value; no input of its own.
// The editor's background and its needle meters.
class IBitmapControl : public IControl, public IBitmapBase {
public:
  // The rectangle is one frame's size with its top-left corner at (x, y).
  IBitmapControl(float x, float y, const IBitmapRef& bitmap, int paramIdx = kNoParameter,
                 int blendType = kBlendDefault);
  // A frame-sized rectangle centred in bounds.
  IBitmapControl(const IBounds& bounds, const IBitmapRef& bitmap, int paramIdx = kNoParameter,
                 int blendType = kBlendDefault);

  void OnRescale() override;
  void Draw(IGraphics& g) override { DrawBitmap(g); }
};

// The frame-sized rectangle of a bitmap control placed at (x, y).
inline IBounds FrameRectAt(float x, float y, const IBitmapRef& bitmap) {
  return IBounds(x, y, x + static_cast<float>(bitmap.FW()), y + static_cast<float>(bitmap.FH()));
}

inline IBounds FrameRectIn(const IBounds& bounds, const IBitmapRef& bitmap) {
  return bounds.GetCentredInside(static_cast<float>(bitmap.FW()), static_cast<float>(bitmap.FH()));
}

}  // namespace igraphics
