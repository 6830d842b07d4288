#pragma once
#include "Canvas.h"
#include "PanelLayout.h"
#include "Typesetter.h"

namespace artwork {

// Draws the needle meter strip: a back-lit cream face calibrated in decibels of gain
// reduction, one frame per meter value.
class MeterPainter {
public:
  MeterPainter(const StripSpec& strip, const Typesetter& type);

  void PaintStrip(Canvas& strip) const;
  void PaintFrame(Canvas& frame, int frameIndex) const;

private:
  void PaintFace(Canvas& face) const;
  void PaintScale(cairo_t* cr) const;
  void PaintNeedle(cairo_t* cr, double value) const;
  void PaintPivotAndGlass(cairo_t* cr) const;

  const StripSpec& mStrip;
  const Typesetter& mType;
  double mWidth;
  double mHeight;
};

}  // namespace artwork
