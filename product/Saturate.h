#pragma once
#include <cmath>

// Waveshaper that colours the input and the detector signal: a small odd/even blend of
// sin(x^4), tanh(x^3) and tanh(x^4) added to the dry sample.
// Audio thread. Allocates nothing, takes no lock.
inline double Saturate(double x) {
  constexpr double K = 0.005623413251903491;  // 10^-2.25
  const double x3 = x * x * x;
  const double x4 = x * x3;
  return x + K * (std::sin(x4) - std::tanh(x3) + std::tanh(x4));
}
