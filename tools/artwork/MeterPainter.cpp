#include "MeterPainter.h"

#include "MeterScale.h"
#include "Palette.h"
#include "Shapes.h"

#include <cmath>
#include <string>

namespace artwork {

namespace {

// Radii around the pivot, which sits below the window so only the upper part of the
// needle's swing shows, as in a moving-coil meter.
constexpr double kPivotBelow = 24.0;
constexpr double kArcRadius = 70.0;
constexpr double kMinorTick = 3.0;
constexpr double kMajorTick = 5.5;
constexpr double kLabelRadius = 82.5;
constexpr double kNeedleInner = 30.0;
constexpr double kNeedleOuter = 78.0;
constexpr double kCoverRadius = 34.0;
constexpr double kRedFromDb = 10.0;

struct Mark {
  double db;
  const char* label;  // null for an unlabelled tick
};

const Mark kMarks[] = {
  {0, "0"},         {0.5, nullptr}, {1, "1"},     {1.5, nullptr}, {2, "2"},      {2.5, nullptr}, {3, "3"},
  {3.5, nullptr},   {4, "4"},       {5, nullptr}, {6, "6"},       {7, nullptr},  {8, "8"},       {9, nullptr},
  {10, "10"},       {12, nullptr},  {15, "15"},   {20, "20"},
};

}  // namespace

MeterPainter::MeterPainter(const StripSpec& strip, const Typesetter& type)
  : mStrip(strip), mType(type), mWidth(strip.FrameWidth()), mHeight(strip.FrameHeight())
{
}

void MeterPainter::PaintFace(Canvas& face) const
{
  cairo_t* cr = face.Cr();
  // Lamp light from behind the lower middle of the face.
  cairo_pattern_t* glow = cairo_pattern_create_radial(mWidth / 2, mHeight * 0.9, 4, mWidth / 2, mHeight * 0.7, mWidth * 0.72);
  AddStop(glow, 0, palette::kMeterFaceHot);
  AddStop(glow, 0.55, palette::kMeterFaceHot.Mix(palette::kMeterFaceCool, 0.35));
  AddStop(glow, 1, palette::kMeterFaceCool);
  cairo_set_source(cr, glow);
  cairo_paint(cr);
  cairo_pattern_destroy(glow);

  // The bezel's lip throws a shadow on the top of the face.
  cairo_pattern_t* lip = cairo_pattern_create_linear(0, 0, 0, 9);
  AddStop(lip, 0, Colour{}, 0.45);
  AddStop(lip, 1, Colour{}, 0.0);
  cairo_set_source(cr, lip);
  cairo_paint(cr);
  cairo_pattern_destroy(lip);
  for (double side : {0.0, 1.0}) {
    cairo_pattern_t* wall = cairo_pattern_create_linear(side * mWidth, 0, side * mWidth + (side ? -6 : 6), 0);
    AddStop(wall, 0, Colour{}, 0.28);
    AddStop(wall, 1, Colour{}, 0.0);
    cairo_set_source(cr, wall);
    cairo_paint(cr);
    cairo_pattern_destroy(wall);
  }
  PaintScale(cr);
}

void MeterPainter::PaintScale(cairo_t* cr) const
{
  const double px = mWidth / 2, py = mHeight + kPivotBelow;
  const auto rad = [](double value) { return Radians(MeterScale::NeedleAngleDeg(value)); };
  const auto polar = [&](double value, double r, double& x, double& y) {
    x = px + r * std::sin(rad(value));
    y = py - r * std::cos(rad(value));
  };

  cairo_save(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  // Main arc; angles in cairo's convention (clockwise from the x axis).
  const auto cairoAngle = [&](double value) { return rad(value) - kPi / 2; };
  SetSource(cr, palette::kMeterInk);
  cairo_set_line_width(cr, 0.9);
  cairo_arc(cr, px, py, kArcRadius, cairoAngle(MeterScale::ValueForDb(kRedFromDb)), cairoAngle(0));
  cairo_stroke(cr);
  SetSource(cr, palette::kMeterRed);
  cairo_set_line_width(cr, 2.6);
  cairo_arc(cr, px, py, kArcRadius + 1.3, cairoAngle(1.0), cairoAngle(MeterScale::ValueForDb(kRedFromDb)));
  cairo_stroke(cr);

  const TextStyle numbers{Font::CondensedBold, 9.0, 0, palette::kMeterInk};
  for (const Mark& mark : kMarks) {
    const double value = MeterScale::ValueForDb(mark.db);
    const bool red = mark.db > kRedFromDb;
    double x0, y0, x1, y1;
    polar(value, kArcRadius, x0, y0);
    polar(value, kArcRadius + (mark.label ? kMajorTick : kMinorTick), x1, y1);
    SetSource(cr, red ? palette::kMeterRed : palette::kMeterInk);
    cairo_set_line_width(cr, mark.label ? 1.0 : 0.7);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
    if (mark.label) {
      double lx, ly;
      polar(value, kLabelRadius, lx, ly);
      TextStyle style = numbers;
      style.colour = red ? palette::kMeterRed : palette::kMeterInk;
      mType.DrawCentred(cr, style, mark.label, lx, ly);
    }
  }
  // Full deflection: everything removed.
  double ex0, ey0, ex1, ey1, lx, ly;
  polar(1.0, kArcRadius, ex0, ey0);
  polar(1.0, kArcRadius + kMajorTick, ex1, ey1);
  SetSource(cr, palette::kMeterRed);
  cairo_set_line_width(cr, 1.0);
  cairo_move_to(cr, ex0, ey0);
  cairo_line_to(cr, ex1, ey1);
  cairo_stroke(cr);
  polar(1.0, kLabelRadius, lx, ly);
  mType.DrawCentred(cr, {Font::Bold, 8.5, 0, palette::kMeterRed}, "\u221e", lx, ly);

  mType.DrawCentred(cr, {Font::CondensedBold, 6.0, 0.9, palette::kMeterInk, 0.8}, "GAIN REDUCTION", px, 42.5);
  // The unit sits in a corner the needle never crosses.
  mType.DrawCentred(cr, {Font::CondensedBold, 7.5, 0.4, palette::kMeterInk, 0.8}, "dB", 14.0, mHeight - 10.0);
  cairo_restore(cr);
}

void MeterPainter::PaintNeedle(cairo_t* cr, double value) const
{
  const double px = mWidth / 2, py = mHeight + kPivotBelow;
  const double a = Radians(MeterScale::NeedleAngleDeg(value));
  const double sx = std::sin(a), sy = -std::cos(a);
  cairo_save(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  // Shadow on the face, the lamp being behind and below.
  SetSource(cr, Colour{}, 0.16);
  cairo_set_line_width(cr, 1.6);
  cairo_move_to(cr, px + sx * kNeedleInner + 1.2, py + sy * kNeedleInner + 1.6);
  cairo_line_to(cr, px + sx * kNeedleOuter + 1.2, py + sy * kNeedleOuter + 1.6);
  cairo_stroke(cr);
  SetSource(cr, Colour::Hex(0x111111));
  cairo_set_line_width(cr, 1.0);
  cairo_move_to(cr, px + sx * kNeedleInner, py + sy * kNeedleInner);
  cairo_line_to(cr, px + sx * kNeedleOuter, py + sy * kNeedleOuter);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void MeterPainter::PaintPivotAndGlass(cairo_t* cr) const
{
  const double px = mWidth / 2, py = mHeight + kPivotBelow;
  cairo_save(cr);
  cairo_pattern_t* cover = cairo_pattern_create_linear(0, py - kCoverRadius, 0, mHeight);
  AddStop(cover, 0, Colour::Hex(0x3a3b3e));
  AddStop(cover, 1, Colour::Hex(0x141516));
  cairo_arc(cr, px, py, kCoverRadius, 0, 2 * kPi);
  cairo_set_source(cr, cover);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(cover);
  SetSource(cr, Colour::Hex(0x6b6d70), 0.9);
  cairo_set_line_width(cr, 0.6);
  cairo_stroke(cr);

  cairo_pattern_t* glass = cairo_pattern_create_linear(0, 0, mWidth * 0.5, mHeight);
  AddStop(glass, 0, Colour::Hex(0xffffff), 0.20);
  AddStop(glass, 0.45, Colour::Hex(0xffffff), 0.04);
  AddStop(glass, 0.46, Colour::Hex(0xffffff), 0.0);
  cairo_rectangle(cr, 0, 0, mWidth, mHeight);
  cairo_set_source(cr, glass);
  cairo_fill(cr);
  cairo_pattern_destroy(glass);
  cairo_restore(cr);
}

void MeterPainter::PaintFrame(Canvas& frame, int frameIndex) const
{
  PaintFace(frame);
  PaintNeedle(frame.Cr(), MeterScale::ValueForFrame(frameIndex));
  PaintPivotAndGlass(frame.Cr());
}

void MeterPainter::PaintStrip(Canvas& strip) const
{
  Canvas face(mStrip.widthPx, mStrip.FrameHeightPx());
  PaintFace(face);
  for (int i = 0; i < mStrip.frames; ++i) {
    Canvas frame(mStrip.widthPx, mStrip.FrameHeightPx());
    frame.Blit(face, 0, 0);
    PaintNeedle(frame.Cr(), MeterScale::ValueForFrame(i));
    PaintPivotAndGlass(frame.Cr());
    strip.Blit(frame, 0, i * mStrip.FrameHeightPx());
  }
}

}  // namespace artwork
