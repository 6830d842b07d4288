#pragma once

namespace igraphics {

// The 2x3 affine drawing transform: x' = mXX x + mXY y + mTX, y' = mYX x + mYY y + mTY.
// Translate, Scale and Rotate post-multiply, so the last one named applies to a point first
// (translate to a centre, then rotate about it).
struct ITransform {
  double mXX = 1.0;
  double mYX = 0.0;
  double mXY = 0.0;
  double mYY = 1.0;
  double mTX = 0.0;
  double mTY = 0.0;

  constexpr ITransform() = default;
  constexpr ITransform(double xx, double yx, double xy, double yy, double tx, double ty)
      : mXX(xx), mYX(yx), mXY(xy), mYY(yy), mTX(tx), mTY(ty) {}

  bool operator==(const ITransform&) const = default;

  ITransform& Translate(double x, double y);
  ITransform& Scale(double x, double y);
  ITransform& Rotate(double degrees);
  // this = this * other: other applies to a point first.
  ITransform& Transform(const ITransform& other);
  // False (and unchanged) for a singular matrix.
  bool Invert();
  void TransformPoint(double& x, double& y) const;
};

}  // namespace igraphics
