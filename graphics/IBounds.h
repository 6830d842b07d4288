#pragma once
#include <cmath>

namespace igraphics {

// A rectangle in logical (unscaled) editor units, y growing downwards.
// Exactly (0, 0, 0, 0) is "empty" and contains nothing.
struct IBounds {
  float L = 0.f;
  float T = 0.f;
  float R = 0.f;
  float B = 0.f;

  constexpr IBounds() = default;
  constexpr IBounds(float l, float t, float r, float b) : L(l), T(t), R(r), B(b) {}

  float W() const { return R - L; }
  float H() const { return B - T; }
  float MW() const { return 0.5f * (L + R); }
  float MH() const { return 0.5f * (T + B); }
  float Area() const { return W() * H(); }

  bool Empty() const { return L == 0.f && T == 0.f && R == 0.f && B == 0.f; }
  bool operator==(const IBounds&) const = default;

  // Half-open, so two rectangles that share an edge never both claim a point on it.
  bool Contains(float x, float y) const { return !Empty() && x >= L && x < R && y >= T && y < B; }
  bool Contains(const IBounds& other) const {
    return !Empty() && !other.Empty() && other.L >= L && other.R <= R && other.T >= T && other.B <= B;
  }
  // Touching edges count: a rectangle starting where another ends intersects it.
  bool Intersects(const IBounds& other) const {
    return other.L <= R && other.R > L && other.T <= B && other.B > T;
  }
  // Both have positive area in common.
  bool Overlaps(const IBounds& other) const {
    return other.L < R && other.R > L && other.T < B && other.B > T;
  }

  IBounds Intersect(const IBounds& other) const {
    if (!Intersects(other)) return IBounds();
    return IBounds(std::fmax(L, other.L), std::fmax(T, other.T), std::fmin(R, other.R), std::fmin(B, other.B));
  }
  IBounds Union(const IBounds& other) const {
    if (Empty()) return other;
    if (other.Empty()) return *this;
    return IBounds(std::fmin(L, other.L), std::fmin(T, other.T), std::fmax(R, other.R), std::fmax(B, other.B));
  }
  IBounds GetPadded(float d) const { return IBounds(L - d, T - d, R + d, B + d); }
  IBounds GetTranslated(float dx, float dy) const { return IBounds(L + dx, T + dy, R + dx, B + dy); }
  // Outwards to the pixel grid of scale s, so a drawn area never leaves half-covered pixels.
  IBounds GetPixelAligned(float s) const {
    return IBounds(std::floor(L * s) / s, std::floor(T * s) / s, std::ceil(R * s) / s, std::ceil(B * s) / s);
  }
  // The whole pixels of a window at scale s (pixels per unit) that this area touches.
  IBounds GetScaledOutwards(float s) const {
    return IBounds(std::floor(L * s), std::floor(T * s), std::ceil(R * s), std::ceil(B * s));
  }
  // A pixel area of a window at scale s as the logical area that covers it.
  IBounds GetUnscaledOutwards(float s) const {
    return IBounds(std::floor(L / s), std::floor(T / s), std::ceil(R / s), std::ceil(B / s));
  }
  // A w x h rectangle centred on this one.
  IBounds GetCentredInside(float w, float h) const {
    const float l = MW() - 0.5f * w;
    const float t = MH() - 0.5f * h;
    return IBounds(l, t, l + w, t + h);
  }
};

}  // namespace igraphics
