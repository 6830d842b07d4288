#include "BackgroundPainter.h"

#include "BrushedTexture.h"
#include "Palette.h"
#include "Shapes.h"

#include <algorithm>
#include <cmath>

namespace artwork {

namespace {

// The sidechain section's inset, around the detector filters and the key input switch.
constexpr double kSideLeft = 262, kSideTop = 268, kSideRight = 366, kSideBottom = 584;

// A recess milled into the plate: dark floor, shadow under the upper lip, light on the lower.
void Recess(cairo_t* cr, double x, double y, double w, double h, double r, Colour floor)
{
  RoundedRect(cr, x, y, w, h, r);
  SetSource(cr, floor);
  cairo_fill(cr);
  cairo_save(cr);
  RoundedRect(cr, x, y, w, h, r);
  cairo_clip(cr);
  cairo_pattern_t* lip = cairo_pattern_create_linear(0, y, 0, y + 4);
  AddStop(lip, 0, Colour{}, 0.55);
  AddStop(lip, 1, Colour{}, 0.0);
  cairo_set_source(cr, lip);
  cairo_paint(cr);
  cairo_pattern_destroy(lip);
  cairo_restore(cr);
  RoundedRect(cr, x + 0.25, y + 0.25, w - 0.5, h - 0.5, r);
  cairo_pattern_t* edge = cairo_pattern_create_linear(0, y, 0, y + h);
  AddStop(edge, 0, palette::kEdgeDark, 0.9);
  AddStop(edge, 0.6, palette::kEdgeDark, 0.4);
  AddStop(edge, 1, palette::kEdgeLight, 0.9);
  cairo_set_source(cr, edge);
  cairo_set_line_width(cr, 0.6);
  cairo_stroke(cr);
  cairo_pattern_destroy(edge);
}

}  // namespace

void BackgroundPainter::PaintPlate(Canvas& panel) const
{
  cairo_t* cr = panel.Cr();
  const double w = panel.Width(), h = panel.Height();
  cairo_pattern_t* base = cairo_pattern_create_linear(0, 0, 0, h);
  AddStop(base, 0, palette::kPanelTop);
  AddStop(base, 1, palette::kPanelBottom);
  cairo_set_source(cr, base);
  cairo_paint(cr);
  cairo_pattern_destroy(base);
  // A broad, soft sheen across the upper plate, as from a lamp above the desk.
  cairo_pattern_t* sheen = cairo_pattern_create_radial(w * 0.35, -h * 0.15, 10, w * 0.35, -h * 0.15, h * 0.9);
  AddStop(sheen, 0, Colour::Hex(0xffffff), 0.07);
  AddStop(sheen, 1, Colour::Hex(0xffffff), 0.0);
  cairo_set_source(cr, sheen);
  cairo_paint(cr);
  cairo_pattern_destroy(sheen);
  ApplyBrushedGrain(panel, 3.5);

  // Machined edge of the plate.
  cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
  SetSource(cr, palette::kEdgeLight, 0.55);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
  cairo_rectangle(cr, 0.0, 0.0, w, h);
  SetSource(cr, palette::kEdgeDark);
  cairo_set_line_width(cr, 0.6);
  cairo_stroke(cr);
}

void BackgroundPainter::PaintScrew(cairo_t* cr, double cx, double cy, double turnDeg) const
{
  const double r = 3.6;
  cairo_save(cr);
  cairo_arc(cr, cx + 0.3, cy + 0.7, r + 0.9, 0, 2 * kPi);
  SetSource(cr, Colour{}, 0.45);
  cairo_fill(cr);
  cairo_pattern_t* head = cairo_pattern_create_radial(cx - 1.4, cy - 1.6, 0.3, cx, cy, r);
  AddStop(head, 0, Colour::Hex(0xd6d8db));
  AddStop(head, 0.6, palette::kScrew);
  AddStop(head, 1, Colour::Hex(0x4f5154));
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  cairo_set_source(cr, head);
  cairo_fill(cr);
  cairo_pattern_destroy(head);
  // Hex socket.
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, Radians(turnDeg));
  for (int i = 0; i < 6; ++i) {
    const double a = i * kPi / 3;
    if (i == 0)
      cairo_move_to(cr, 1.5 * std::cos(a), 1.5 * std::sin(a));
    else
      cairo_line_to(cr, 1.5 * std::cos(a), 1.5 * std::sin(a));
  }
  cairo_close_path(cr);
  SetSource(cr, Colour::Hex(0x1a1b1c));
  cairo_fill(cr);
  cairo_restore(cr);
}

void BackgroundPainter::PaintBrand(cairo_t* cr) const
{
  const double cx = kPanelWidth / 2.0;
  const TextStyle maker{Font::Medium, 7.0, 3.2, palette::kAccent};
  const TextStyle product{Font::Light, 30.0, 0.4, palette::kLegend};
  const TextStyle kind{Font::CondensedBold, 6.6, 2.4, palette::kLegendDim};
  mType.DrawCentred(cr, maker, "VANTORELL", cx, 121);
  mType.Draw(cr, product, "Tollenbrook", cx, 156.5, Align::Centre);
  mType.DrawCentred(cr, kind, "COMPRESSOR  \u00b7  LIMITER", cx, 170);
  // Rules either side of the maker's name.
  const double half = mType.Width(cr, maker, "VANTORELL") / 2 + 8;
  SetSource(cr, palette::kAccent, 0.7);
  cairo_set_line_width(cr, 0.6);
  for (double side : {-1.0, 1.0}) {
    cairo_move_to(cr, cx + side * half, 121);
    cairo_line_to(cr, cx + side * (half + 34), 121);
  }
  cairo_stroke(cr);
}

void BackgroundPainter::PaintSidechainSection(cairo_t* cr) const
{
  Recess(cr, kSideLeft, kSideTop, kSideRight - kSideLeft, kSideBottom - kSideTop, 4, Colour::Hex(0x222427));
  mType.DrawCentred(cr, {Font::CondensedBold, 6.8, 1.8, palette::kAccent}, "SIDECHAIN", (kSideLeft + kSideRight) / 2,
                    kSideTop + 8);
}

void BackgroundPainter::PaintMeterWindow(cairo_t* cr, const ControlSpec& meter) const
{
  const StripSpec& strip = FindStrip(meter.strip);
  const double x = meter.x, y = meter.y, w = strip.FrameWidth(), h = strip.FrameHeight();
  // Black bezel with a chamfer; the meter face covers its opening.
  RoundedRect(cr, x - 5, y - 5, w + 10, h + 10, 4);
  cairo_pattern_t* bezel = cairo_pattern_create_linear(0, y - 5, 0, y + h + 5);
  AddStop(bezel, 0, Colour::Hex(0x0c0d0e));
  AddStop(bezel, 1, Colour::Hex(0x1d1e20));
  cairo_set_source(cr, bezel);
  cairo_fill(cr);
  cairo_pattern_destroy(bezel);
  RoundedRect(cr, x - 4.7, y - 4.7, w + 9.4, h + 9.4, 3.8);
  cairo_pattern_t* rim = cairo_pattern_create_linear(0, y - 5, 0, y + h + 5);
  AddStop(rim, 0, palette::kEdgeDark);
  AddStop(rim, 1, palette::kEdgeLight);
  cairo_set_source(cr, rim);
  cairo_set_line_width(cr, 0.6);
  cairo_stroke(cr);
  cairo_pattern_destroy(rim);

  // Section names (the meters' and the sidechain's) are set in the accent colour, controls in cream.
  const TextStyle title{Font::CondensedBold, 8.8, 1.6, palette::kAccent};
  mType.DrawCentred(cr, title, meter.title, x + w / 2, y + h + 13);
}

void BackgroundPainter::PaintKnobScale(cairo_t* cr, const ControlSpec& knob) const
{
  const StripSpec& strip = FindStrip(knob.strip);
  const KnobDimensions size = KnobDimensionsFor(strip);
  const Point c = ControlCentre(knob);
  const int count = int(knob.scale.texts.size());
  const bool large = strip.FrameWidth() >= 80;
  const TextStyle label{Font::CondensedMedium, large ? 7.8 : 7.4, 0.1, palette::kScale};
  const TextStyle title{Font::CondensedBold, large ? 9.0 : 8.6, 1.1, palette::kLegend};
  const double labelCap = mType.CapHeight(cr, label);

  cairo_save(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int i = 0; i < count; ++i) {
    const double a = Radians(KnobAngleDeg(i, strip.frames));
    const double dx = std::sin(a), dy = -std::cos(a);
    const bool major = std::find(knob.scale.major.begin(), knob.scale.major.end(), i) != knob.scale.major.end();
    const double outer = major ? size.majorOuter : size.tickOuter;
    SetSource(cr, palette::kScale, major ? 1.0 : 0.7);
    cairo_set_line_width(cr, major ? 0.95 : 0.6);
    cairo_move_to(cr, c.x + dx * size.tickInner, c.y + dy * size.tickInner);
    cairo_line_to(cr, c.x + dx * outer, c.y + dy * outer);
    cairo_stroke(cr);

    if (std::find(knob.scale.labelled.begin(), knob.scale.labelled.end(), i) == knob.scale.labelled.end())
      continue;
    // The text box's edge nearest the knob sits on the label circle.
    const std::string& text = knob.scale.texts[size_t(i)];
    const double w = mType.Width(cr, label, text);
    const double lx = c.x + dx * size.labelRadius + dx * w / 2;
    const double ly = c.y + dy * size.labelRadius + dy * labelCap / 2;
    mType.DrawCentred(cr, label, text, lx, ly);
  }
  cairo_restore(cr);
  // Titles of knobs of one size share a height above the centre, so a row reads as a row.
  mType.Draw(cr, title, knob.title, c.x, c.y - size.labelRadius - labelCap - size.titleGap, Align::Centre);
}

void BackgroundPainter::PaintSwitchTitle(cairo_t* cr, const ControlSpec& control) const
{
  const StripSpec& strip = FindStrip(control.strip);
  const TextStyle title{Font::CondensedBold, 8.8, 1.1, palette::kLegend};
  const double cx = control.x + strip.FrameWidth() / 2.0;
  if (control.strip == "EXT") {
    // No room above the key switch: its title stands to its left, one word a line.
    const double right = control.x - 3;
    const double cy = control.y + strip.FrameHeight() / 2.0;
    const TextStyle small{Font::CondensedBold, 7.4, 0.8, palette::kLegend};
    const size_t space = control.title.find(' ');
    mType.Draw(cr, small, control.title.substr(0, space), right, cy - 1.5, Align::Right);
    if (space != std::string::npos)
      mType.Draw(cr, small, control.title.substr(space + 1), right, cy + 7.0, Align::Right);
    return;
  }
  if (control.strip == "OVER") {
    mType.Draw(cr, title, control.title, cx, control.y - 5, Align::Centre);
    return;
  }
  mType.Draw(cr, title, control.title, cx, control.y - 1.5, Align::Centre);
}

void BackgroundPainter::Paint(Canvas& panel) const
{
  PaintPlate(panel);
  cairo_t* cr = panel.Cr();
  const double inset = 7.5;
  PaintScrew(cr, inset, inset, 12);
  PaintScrew(cr, kPanelWidth - inset, inset, 41);
  PaintScrew(cr, inset, kPanelHeight - inset, 27);
  PaintScrew(cr, kPanelWidth - inset, kPanelHeight - inset, 5);
  PaintBrand(cr);
  PaintSidechainSection(cr);
  for (const ControlSpec& control : Controls()) {
    switch (control.kind) {
    case ControlKind::Meter: PaintMeterWindow(cr, control); break;
    case ControlKind::Knob: PaintKnobScale(cr, control); break;
    case ControlKind::Switch: PaintSwitchTitle(cr, control); break;
    }
  }
}

}  // namespace artwork
