#pragma once
#include <cairo.h>

namespace artwork {

constexpr double kPi = 3.14159265358979323846;

inline double Radians(double degrees)
{
  return degrees * kPi / 180.0;
}

// Adds a closed rounded rectangle to the current path.
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);

}  // namespace artwork
