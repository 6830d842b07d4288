#pragma once
#include "graphics/IBitmapRef.h"

namespace igraphics {

class IControl;
class IGraphics;

// The film-strip side of a bitmap control: shows the frame that matches the owning
// control's value 0. Holds a handle to the strip; the back end's cache owns the bitmap.
class IBitmapBase {
public:
  explicit IBitmapBase(const IBitmapRef& bitmap) : mBitmap(bitmap) {}
  virtual ~IBitmapBase() = default;

  void AttachIControl(IControl* control) { mControl = control; }
  // Frame 1..N for a normalised value: each frame covers an equal band centred on its value.
  static int FrameForValue(double value, int nFrames);
  void DrawBitmap(IGraphics& g) const;
  // Reloads the strip for the current screen scale; the control's rectangle stays.
  void RescaleBitmap(IGraphics& g);
  const IBitmapRef& GetBitmap() const { return mBitmap; }

protected:
  IBitmapRef mBitmap;
  IControl* mControl = nullptr;
};

}  // namespace igraphics
