#pragma once
#include <cstdint>

namespace artwork {

// Small helpers for the per-pixel passes.

inline double Clamp01(double v)
{
  return v < 0 ? 0 : (v > 1 ? 1 : v);
}

inline double SmoothStep(double edge0, double edge1, double x)
{
  const double t = Clamp01((x - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

// A fixed integer hash mapped to [0, 1): the textures are the same on every run.
inline double Hash01(uint32_t x)
{
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return double(x) / 4294967296.0;
}

inline double Hash01(uint32_t x, uint32_t y)
{
  return Hash01(x * 0x9e3779b1U ^ (y + 0x632be5abU));
}

// Straight RGBA in [0, 1] to cairo's premultiplied ARGB32.
inline uint32_t PackPremultiplied(double r, double g, double b, double a)
{
  a = Clamp01(a);
  const auto channel = [a](double v) { return uint32_t(Clamp01(v) * a * 255.0 + 0.5); };
  return (uint32_t(a * 255.0 + 0.5) << 24) | (channel(r) << 16) | (channel(g) << 8) | channel(b);
}

}  // namespace artwork
