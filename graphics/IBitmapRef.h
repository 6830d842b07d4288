#pragma once
#include "IPlug/TextBuffer.h"
#include "graphics/APIBitmap.h"
#include "graphics/AssignText.h"

namespace igraphics {

// A value handle to a loaded film strip. Never owns the back-end bitmap.
// Sizes are those of the whole image in logical units (pixels / the bitmap's scale).
class IBitmapRef {
public:
  IBitmapRef() = default;
  IBitmapRef(APIBitmap* bitmap, int w, int h, int nFrames, bool framesAreHorizontal, const char* name)
      : mAPIBitmap(bitmap), mW(w), mH(h), mN(nFrames < 1 ? 1 : nFrames),
        mFramesAreHorizontal(framesAreHorizontal) {
    AssignText(mResourceName, name);
  }

  APIBitmap* GetAPIBitmap() const { return mAPIBitmap; }
  bool IsValid() const { return mAPIBitmap != nullptr; }
  int W() const { return mW; }
  int H() const { return mH; }
  int N() const { return mN; }
  bool GetFramesAreHorizontal() const { return mFramesAreHorizontal; }
  int FW() const { return mFramesAreHorizontal ? mW / mN : mW; }
  int FH() const { return mFramesAreHorizontal ? mH : mH / mN; }
  float GetScale() const { return mAPIBitmap ? mAPIBitmap->GetScale() : 1.f; }
  float GetDrawScale() const { return mAPIBitmap ? mAPIBitmap->GetDrawScale() : 1.f; }
  const char* GetResourceName() const { return mResourceName.Get(); }

private:
  APIBitmap* mAPIBitmap = nullptr;
  int mW = 0;
  int mH = 0;
  int mN = 1;
  bool mFramesAreHorizontal = false;
  iplug::TextBuffer mResourceName;
};

}  // namespace igraphics
