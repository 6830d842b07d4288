#include "graphics/IBitmapBase.h"

#include "graphics/IControl.h"
#include "graphics/IGraphics.h"

namespace igraphics {

int IBitmapBase::FrameForValue(double value, int nFrames) {
  if (nFrames < 2) return 1;
  if (!(value >= 0.)) value = 0.;  // NaN shows the first frame
  if (value > 1.) value = 1.;
  const int frame = static_cast<int>(value * (nFrames - 1) + 0.5) + 1;
  return frame < 1 ? 1 : (frame > nFrames ? nFrames : frame);
}

void IBitmapBase::DrawBitmap(IGraphics& g) const {
  if (!mControl) return;
  const int frame = FrameForValue(mControl->GetValue(0), mBitmap.N());
  const IBounds& r = mControl->GetRECT();
  const float fw = static_cast<float>(mBitmap.FW());
  const float fh = static_cast<float>(mBitmap.FH());
  const IBounds dest(r.MW() - fw / 2.f, r.MH() - fh / 2.f, r.MW() + fw / 2.f, r.MH() + fh / 2.f);
  g.DrawBitmap(mBitmap, dest, frame, &mControl->GetBlend());
}

void IBitmapBase::RescaleBitmap(IGraphics& g) { mBitmap = g.GetScaledBitmap(mBitmap); }

}  // namespace igraphics
