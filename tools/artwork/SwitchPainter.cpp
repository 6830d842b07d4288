#include "SwitchPainter.h"

#include "Palette.h"
#include "Shapes.h"

#include <cmath>

namespace artwork {

namespace {

void Glow(cairo_t* cr, double cx, double cy, double radius, Colour c, double alpha)
{
  cairo_pattern_t* halo = cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius);
  AddStop(halo, 0, c, alpha);
  AddStop(halo, 1, c, 0.0);
  cairo_set_source(cr, halo);
  cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(halo);
}

}  // namespace

SwitchPainter::SwitchPainter(const StripSpec& strip, const Typesetter& type) : mStrip(strip), mType(type) {}

SwitchPainter::Lamp SwitchPainter::LampFor(int value) const
{
  if (mStrip.name == "BYPASS") {
    // 1 means the processing is in.
    if (value == 1)
      return {palette::kLampGreen, "IN"};
    return {palette::kMeterRed.Mix(Colour::Hex(0xff4a3a), 0.6), "OUT"};
  }
  return {value == 1 ? std::optional<Colour>(palette::kLampAmber) : std::nullopt, "EXT"};
}

void SwitchPainter::PaintButton(Canvas& frame, const Lamp& lamp, bool pressed) const
{
  cairo_t* cr = frame.Cr();
  const double w = frame.Width(), h = frame.Height();
  const double capW = 33, capH = 24, radius = 3.2;
  const double x = (w - capW) / 2;
  const double y = (h - capH) / 2 + (pressed ? 0.6 : 0.0);

  // Shadow on the panel; a pressed cap sits lower and throws less of it.
  for (int i = 3; i >= 1; --i) {
    const double spread = i * (pressed ? 0.6 : 0.9);
    RoundedRect(cr, x - spread, y - spread + (pressed ? 0.8 : 1.6), capW + 2 * spread, capH + 2 * spread,
                radius + spread);
    SetSource(cr, Colour{}, 0.16);
    cairo_fill(cr);
  }
  // Cap body with a lit upper edge.
  cairo_pattern_t* body = cairo_pattern_create_linear(0, y, 0, y + capH);
  AddStop(body, 0, Colour::Hex(pressed ? 0x393b3f : 0x45474c));
  AddStop(body, 1, Colour::Hex(pressed ? 0x202124 : 0x25272a));
  RoundedRect(cr, x, y, capW, capH, radius);
  cairo_set_source(cr, body);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(body);
  SetSource(cr, Colour::Hex(0x0b0c0d));
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
  RoundedRect(cr, x + 0.9, y + 0.9, capW - 1.8, capH - 1.8, radius - 0.8);
  cairo_pattern_t* rim = cairo_pattern_create_linear(0, y, 0, y + capH);
  AddStop(rim, 0, Colour::Hex(0xffffff), 0.30);
  AddStop(rim, 0.5, Colour::Hex(0xffffff), 0.0);
  cairo_set_source(cr, rim);
  cairo_set_line_width(cr, 0.7);
  cairo_stroke(cr);
  cairo_pattern_destroy(rim);

  // Lamp window across the top of the cap.
  const double lampW = 19, lampH = 3.6;
  const double lx = x + (capW - lampW) / 2, ly = y + 4.2;
  RoundedRect(cr, lx - 0.6, ly - 0.6, lampW + 1.2, lampH + 1.2, 1.8);
  SetSource(cr, Colour::Hex(0x08090a));
  cairo_fill(cr);
  if (lamp.colour) {
    Glow(cr, lx + lampW / 2, ly + lampH / 2, 14, *lamp.colour, 0.30);
    cairo_pattern_t* lit = cairo_pattern_create_linear(0, ly, 0, ly + lampH);
    AddStop(lit, 0, lamp.colour->Mix(Colour::Hex(0xffffff), 0.65));
    AddStop(lit, 1, *lamp.colour);
    RoundedRect(cr, lx, ly, lampW, lampH, 1.4);
    cairo_set_source(cr, lit);
    cairo_fill(cr);
    cairo_pattern_destroy(lit);
  } else {
    RoundedRect(cr, lx, ly, lampW, lampH, 1.4);
    SetSource(cr, palette::kLampOff);
    cairo_fill(cr);
    RoundedRect(cr, lx + 1, ly + 0.5, lampW - 2, 1.0, 0.5);
    SetSource(cr, Colour::Hex(0xffffff), 0.10);
    cairo_fill(cr);
  }
  const TextStyle legend{Font::CondensedBold, 9.5, 0.6, lamp.colour ? palette::kLegend : palette::kLegendDim,
                         lamp.colour ? 1.0 : 0.75};
  mType.DrawCentred(cr, legend, lamp.legend, w / 2, y + 15.8);
}

void SwitchPainter::PaintBar(Canvas& frame, bool on) const
{
  cairo_t* cr = frame.Cr();
  const double w = frame.Width(), h = frame.Height();
  const double r = h / 2 - 0.5;
  // A recessed slot in the panel holding a lamp bar.
  RoundedRect(cr, 0.5, 0.5, w - 1, h - 1, r);
  SetSource(cr, Colour::Hex(0x08090a));
  cairo_fill(cr);
  RoundedRect(cr, 1.3, 1.3, w - 2.6, h - 2.6, r - 0.8);
  if (on) {
    cairo_pattern_t* lit = cairo_pattern_create_linear(0, 1.3, 0, h - 1.3);
    AddStop(lit, 0, palette::kLampAmber.Mix(Colour::Hex(0xffffff), 0.55));
    AddStop(lit, 0.5, palette::kLampAmber);
    AddStop(lit, 1, palette::kLampAmber.Mix(palette::kAccentDeep, 0.5));
    cairo_set_source(cr, lit);
    cairo_fill(cr);
    cairo_pattern_destroy(lit);
    mType.DrawCentred(cr, {Font::CondensedBold, 5.6, 0.7, Colour::Hex(0x2a1a05)}, "2\u00d7  ON", w / 2, h / 2);
  } else {
    SetSource(cr, Colour::Hex(0x2a2b2e));
    cairo_fill(cr);
    RoundedRect(cr, 3, 1.8, w - 6, 1.2, 0.6);
    SetSource(cr, Colour::Hex(0xffffff), 0.08);
    cairo_fill(cr);
    mType.DrawCentred(cr, {Font::CondensedBold, 5.6, 0.7, palette::kLegendDim, 0.8}, "OFF", w / 2, h / 2);
  }
}

void SwitchPainter::PaintFrame(Canvas& frame, int value) const
{
  if (mStrip.name == "OVER")
    PaintBar(frame, value == 1);
  else
    PaintButton(frame, LampFor(value), value == 1);
}

void SwitchPainter::PaintStrip(Canvas& strip) const
{
  for (int i = 0; i < mStrip.frames; ++i) {
    Canvas frame(mStrip.widthPx, mStrip.FrameHeightPx());
    PaintFrame(frame, i);
    strip.Blit(frame, 0, i * mStrip.FrameHeightPx());
  }
}

}  // namespace artwork
