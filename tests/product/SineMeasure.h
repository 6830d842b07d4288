#pragma once
#include <cmath>
#include <numbers>

namespace dsptest {

// Runs a unit sine of `cycles` / `window` cycles per sample through `process`, lets it settle
// for `settle` samples and returns the amplitude of the output at that frequency, found by
// projecting a window of `window` samples on sine and cosine. The window spans a whole number
// of cycles, so the projection is exact for any component at the test frequency and rejects
// every other whole-cycle component (including DC and Nyquist offsets).
template <class Process>
double MeasureSineGain(Process&& process, int cycles, int window, int settle) {
  const double w = 2.0 * std::numbers::pi * cycles / window;
  for (int n = 0; n < settle; ++n) process(std::sin(w * n));
  double s = 0.0;
  double c = 0.0;
  for (int n = settle; n < settle + window; ++n) {
    const double y = process(std::sin(w * n));
    s += y * std::sin(w * n);
    c += y * std::cos(w * n);
  }
  return 2.0 / window * std::hypot(s, c);
}

inline double ToDb(double gain) { return 20.0 * std::log10(gain); }

}  // namespace dsptest
