#include "graphics/ITransform.h"

#include <cmath>
#include <numbers>

namespace igraphics {

ITransform& ITransform::Transform(const ITransform& o) {
  const ITransform m = *this;
  mXX = m.mXX * o.mXX + m.mXY * o.mYX;
  mYX = m.mYX * o.mXX + m.mYY * o.mYX;
  mXY = m.mXX * o.mXY + m.mXY * o.mYY;
  mYY = m.mYX * o.mXY + m.mYY * o.mYY;
  mTX = m.mXX * o.mTX + m.mXY * o.mTY + m.mTX;
  mTY = m.mYX * o.mTX + m.mYY * o.mTY + m.mTY;
  return *this;
}

ITransform& ITransform::Translate(double x, double y) { return Transform(ITransform(1, 0, 0, 1, x, y)); }

ITransform& ITransform::Scale(double x, double y) { return Transform(ITransform(x, 0, 0, y, 0, 0)); }

ITransform& ITransform::Rotate(double degrees) {
  // Clockwise on screen, because y grows downwards.
  const double a = degrees * std::numbers::pi / 180.0;
  const double c = std::cos(a);
  const double s = std::sin(a);
  return Transform(ITransform(c, s, -s, c, 0, 0));
}

bool ITransform::Invert() {
  const double det = mXX * mYY - mXY * mYX;
  if (det == 0.0 || !std::isfinite(det)) return false;
  const double inv = 1.0 / det;
  const ITransform m = *this;
  mXX = m.mYY * inv;
  mXY = -m.mXY * inv;
  mYX = -m.mYX * inv;
  mYY = m.mXX * inv;
  mTX = (m.mXY * m.mTY - m.mYY * m.mTX) * inv;
  mTY = (m.mYX * m.mTX - m.mXX * m.mTY) * inv;
  return true;
}

void ITransform::TransformPoint(double& x, double& y) const {
  const double px = x;
  x = mXX * px + mXY * y + mTX;
  y = mYX * px + mYY * y + mTY;
}

}  // namespace igraphics
