#pragma once
#include <cairo.h>
#include <cstdint>

namespace artwork {

struct Colour {
  double r = 0, g = 0, b = 0;

  static constexpr Colour Hex(uint32_t rgb)
  {
    return {double((rgb >> 16) & 0xff) / 255.0, double((rgb >> 8) & 0xff) / 255.0, double(rgb & 0xff) / 255.0};
  }
  constexpr Colour Mix(Colour other, double t) const
  {
    return {r + (other.r - r) * t, g + (other.g - g) * t, b + (other.b - b) * t};
  }
  constexpr Colour Scaled(double k) const { return {r * k, g * k, b * k}; }
};

inline void SetSource(cairo_t* cr, Colour c, double alpha = 1.0)
{
  cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

inline void AddStop(cairo_pattern_t* pattern, double offset, Colour c, double alpha = 1.0)
{
  cairo_pattern_add_color_stop_rgba(pattern, offset, c.r, c.g, c.b, alpha);
}

}  // namespace artwork
