#pragma once
#include <memory>

#include "graphics/APIBitmap.h"
#include "graphics/IBounds.h"

namespace igraphics {

class IControl;

// An off-screen drawing target: drawing between StartLayer and EndLayer lands in its bitmap.
class ILayer {
public:
  ILayer(std::unique_ptr<APIBitmap> bitmap, const IBounds& layerRect, IControl* control, const IBounds& controlRect)
      : mBitmap(std::move(bitmap)), mControl(control), mControlRECT(controlRect), mRECT(layerRect) {}

  APIBitmap* GetAPIBitmap() const { return mBitmap.get(); }
  std::unique_ptr<APIBitmap> ReleaseAPIBitmap() { return std::move(mBitmap); }
  const IBounds& Bounds() const { return mRECT; }
  IControl* GetControl() const { return mControl; }
  const IBounds& ControlBounds() const { return mControlRECT; }
  void Invalidate() { mInvalid = true; }
  bool IsInvalid() const { return mInvalid; }

private:
  std::unique_ptr<APIBitmap> mBitmap;
  IControl* mControl;
  IBounds mControlRECT;
  IBounds mRECT;
  bool mInvalid = false;
};

}  // namespace igraphics
