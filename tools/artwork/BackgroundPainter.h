#pragma once
#include "Canvas.h"
#include "PanelLayout.h"
#include "Typesetter.h"

namespace artwork {

// Draws the faceplate: brushed graphite with screws, the maker's and product's names,
// the meter windows, the sidechain section, and a title and printed scale for every control.
class BackgroundPainter {
public:
  explicit BackgroundPainter(const Typesetter& type) : mType(type) {}

  void Paint(Canvas& panel) const;

private:
  void PaintPlate(Canvas& panel) const;
  void PaintScrew(cairo_t* cr, double cx, double cy, double turnDeg) const;
  void PaintBrand(cairo_t* cr) const;
  void PaintSidechainSection(cairo_t* cr) const;
  void PaintMeterWindow(cairo_t* cr, const ControlSpec& meter) const;
  void PaintKnobScale(cairo_t* cr, const ControlSpec& knob) const;
  void PaintSwitchTitle(cairo_t* cr, const ControlSpec& control) const;

  const Typesetter& mType;
};

}  // namespace artwork
