#include "KnobPainter.h"

#include "Palette.h"
#include "Shapes.h"
#include "Shading.h"

#include <cmath>

namespace artwork {

namespace {

constexpr int kSupersample = 4;

struct Rgba {
  double r = 0, g = 0, b = 0, a = 0;
};

// Light from the upper left, above the panel, as in a studio lit from the ceiling.
struct Light {
  double x = -0.38, y = -0.62, z = 0.69;
};

double Dot(const Light& l, double nx, double ny, double nz)
{
  const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
  return (l.x * nx + l.y * ny + l.z * nz) / len;
}

// The cap at one sample point. u, v are in units of the cap radius from its centre
// (v grows downwards); angle is the knob's rotation. Only the knurl turns with the knob:
// the reflections of the round, concentrically brushed top stay where the light is.
Rgba ShadeCap(double u, double v, double angleRad, int knurls)
{
  const double r = std::sqrt(u * u + v * v);
  const double theta = std::atan2(u, -v);  // clockwise from up
  const double dx = r > 0 ? u / r : 0;
  const double dy = r > 0 ? v / r : 0;
  const Light light;
  const Colour body = palette::kKnobBody;
  const Colour top = palette::kKnobTop;

  if (r > 1.0)
    return {};
  if (r > 0.80) {
    // Knurled skirt, sloping down and out.
    const double phase = (theta - angleRad) * knurls / (2 * kPi);
    const double saw = phase - std::floor(phase);
    const double ridge = saw < 0.5 ? 1.0 : -1.0;  // facets alternately face each way
    const double tx = -dy, ty = dx;               // tangent, clockwise
    const double slope = 0.9, facet = 0.55;
    const double nx = dx * slope + tx * ridge * facet;
    const double ny = dy * slope + ty * ridge * facet;
    const double lit = Dot(light, nx, ny, 1.0);
    const double edge = SmoothStep(0.97, 1.0, r);  // a dark lip where the skirt meets the panel
    const double k = (0.55 + 0.9 * std::max(0.0, lit)) * (1.0 - 0.5 * edge);
    const Colour c = body.Scaled(k).Mix(Colour::Hex(0x8a8d92), 0.22 * std::pow(std::max(0.0, lit), 6));
    return {c.r, c.g, c.b, 1};
  }
  if (r > 0.74) {
    // Chamfer around the top: a bright arc towards the light, dark away from it.
    const double lit = Dot(light, dx * 1.3, dy * 1.3, 1.0);
    const double k = 0.5 + 1.6 * std::max(0.0, lit);
    const Colour c = top.Scaled(k).Mix(Colour::Hex(0xb8bbc0), 0.45 * std::pow(std::max(0.0, lit), 4));
    return {c.r, c.g, c.b, 1};
  }
  // Concentric brushing throws a streak of light along the radius that points at the lamp.
  const double toLight = std::atan2(light.x, -light.y);
  const double lobe = std::pow(std::fabs(std::cos(theta - toLight)), 10.0);
  const double grain = 0.92 + 0.16 * Hash01(uint32_t(r * 260.0));
  const double fall = 0.35 + 0.65 * SmoothStep(0.0, 0.74, r);  // the streak fades into the centre
  const double k = grain * (0.9 + 0.08 * (-v)) + 0.95 * lobe * fall;
  const Colour c = top.Scaled(k);
  return {c.r, c.g, c.b, 1};
}

double ShadowAlpha(double u, double v)
{
  // A soft shadow cast down and slightly right, plus contact darkness at the rim.
  const double du = u - 0.04, dv = v - 0.10;
  const double rs = std::sqrt(du * du + dv * dv);
  return 0.62 * (1.0 - SmoothStep(0.90, 1.28, rs));
}

Rgba Over(const Rgba& top, const Rgba& bottom)
{
  const double a = top.a + bottom.a * (1 - top.a);
  if (a <= 0)
    return {};
  const auto mix = [&](double t, double b) { return (t * top.a + b * bottom.a * (1 - top.a)) / a; };
  return {mix(top.r, bottom.r), mix(top.g, bottom.g), mix(top.b, bottom.b), a};
}

}  // namespace

KnobPainter::KnobPainter(const StripSpec& strip) : mStrip(strip), mSize(KnobDimensionsFor(strip)) {}

void KnobPainter::PaintBody(Canvas& frame, double angleRad) const
{
  const double radiusPx = mSize.capRadius * kPixelsPerUnit;
  const double cxPx = frame.WidthPx() / 2.0;
  const double cyPx = frame.HeightPx() / 2.0;
  const int knurls = mSize.capRadius > 18 ? 60 : 44;
  uint32_t* pixels = frame.BeginPixels();
  const int stride = frame.StridePixels();
  for (int y = 0; y < frame.HeightPx(); ++y) {
    for (int x = 0; x < frame.WidthPx(); ++x) {
      Rgba sum;
      for (int sy = 0; sy < kSupersample; ++sy) {
        for (int sx = 0; sx < kSupersample; ++sx) {
          const double u = (x + (sx + 0.5) / kSupersample - cxPx) / radiusPx;
          const double v = (y + (sy + 0.5) / kSupersample - cyPx) / radiusPx;
          const Rgba cap = ShadeCap(u, v, angleRad, knurls);
          const Rgba shadow = {0, 0, 0, ShadowAlpha(u, v)};
          const Rgba c = Over(cap, shadow);
          sum.r += c.r * c.a;
          sum.g += c.g * c.a;
          sum.b += c.b * c.a;
          sum.a += c.a;
        }
      }
      const double n = kSupersample * kSupersample;
      const double a = sum.a / n;
      pixels[y * stride + x] =
        a > 0 ? PackPremultiplied(sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, a) : 0u;
    }
  }
  frame.EndPixels();
}

void KnobPainter::PaintPointer(Canvas& frame, double angleRad) const
{
  cairo_t* cr = frame.Cr();
  const double cx = frame.Width() / 2.0;
  const double cy = frame.Height() / 2.0;
  const double r = mSize.capRadius;
  const double sx = std::sin(angleRad), sy = -std::cos(angleRad);
  const double inner = 0.30 * r, outer = 0.95 * r;
  const double width = r > 18 ? 2.1 : 1.7;
  cairo_save(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  // A groove under the paint keeps the line sharp against the bright streak of the top.
  cairo_set_line_width(cr, width + 1.0);
  SetSource(cr, Colour::Hex(0x050506), 0.75);
  cairo_move_to(cr, cx + sx * inner, cy + sy * inner + 0.25);
  cairo_line_to(cr, cx + sx * outer, cy + sy * outer + 0.25);
  cairo_stroke(cr);
  cairo_set_line_width(cr, width);
  SetSource(cr, palette::kPointer);
  cairo_move_to(cr, cx + sx * inner, cy + sy * inner);
  cairo_line_to(cr, cx + sx * outer, cy + sy * outer);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void KnobPainter::PaintFrame(Canvas& frame, int value) const
{
  const double angleRad = Radians(KnobAngleDeg(value, mStrip.frames));
  PaintBody(frame, angleRad);
  PaintPointer(frame, angleRad);
}

void KnobPainter::PaintStrip(Canvas& strip) const
{
  for (int i = 0; i < mStrip.frames; ++i) {
    Canvas frame(mStrip.widthPx, mStrip.FrameHeightPx());
    PaintFrame(frame, i);
    strip.Blit(frame, 0, i * mStrip.FrameHeightPx());
  }
}

}  // namespace artwork
