#pragma once
#include "Canvas.h"
#include "PanelLayout.h"

namespace artwork {

// Draws the film strip of a knob: a black knurled cap with a machined top and a cream
// pointer, one frame per value, turning clockwise over the knob's sweep.
class KnobPainter {
public:
  explicit KnobPainter(const StripSpec& strip);

  // One frame, transparent outside the cap and its shadow.
  void PaintFrame(Canvas& frame, int value) const;
  void PaintStrip(Canvas& strip) const;

private:
  void PaintBody(Canvas& frame, double angleRad) const;
  void PaintPointer(Canvas& frame, double angleRad) const;

  const StripSpec& mStrip;
  KnobDimensions mSize;
};

}  // namespace artwork
