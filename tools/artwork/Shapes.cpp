#include "Shapes.h"

namespace artwork {

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius)
{
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - radius, y + radius, radius, -kPi / 2, 0);
  cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, kPi / 2);
  cairo_arc(cr, x + radius, y + h - radius, radius, kPi / 2, kPi);
  cairo_arc(cr, x + radius, y + radius, radius, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

}  // namespace artwork
