#pragma once
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace chaintest {

// A deterministic stand-in for programme material: a few detuned partials under a slow level
// swell, plucked notes with sharp attacks and exponential decays, and filtered noise, with the
// two channels related but not equal. `peak` scales the loudest passages.
struct MusicSignal {
  std::vector<double> left;
  std::vector<double> right;

  MusicSignal(int frames, uint32_t seed, double peak = 0.9, double fs = 48000.0)
      : left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames)) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const double twoPi = 2.0 * std::numbers::pi;
    double partials[4];
    for (double& f : partials) f = 60.0 + 900.0 * u(rng);
    double noiseL = 0.0;
    double noiseR = 0.0;
    double pluck = 0.0;
    double pluckFreq = 220.0;
    double pluckPhase = 0.0;
    const double swellHz = 0.3 + u(rng);
    for (int n = 0; n < frames; ++n) {
      const double t = n / fs;
      if (u(rng) < 6.0 / fs) {  // about six notes a second
        pluck = 0.4 + 0.6 * u(rng);
        pluckFreq = 110.0 * std::pow(2.0, std::floor(u(rng) * 36.0) / 12.0);
      }
      pluck *= 0.9997;
      pluckPhase += twoPi * pluckFreq / fs;
      double tone = 0.0;
      for (int k = 0; k < 4; ++k) tone += std::sin(twoPi * partials[k] * t + k) / (k + 1.5);
      const double swell = 0.55 + 0.45 * std::sin(twoPi * swellHz * t);
      noiseL = 0.92 * noiseL + 0.08 * (2.0 * u(rng) - 1.0);
      noiseR = 0.92 * noiseR + 0.08 * (2.0 * u(rng) - 1.0);
      const double note = pluck * std::sin(pluckPhase) * (1.0 + 0.3 * std::sin(2.0 * pluckPhase));
      const double body = 0.35 * swell * tone + 0.5 * note;
      left[static_cast<size_t>(n)] = peak * (body + 0.6 * noiseL);
      right[static_cast<size_t>(n)] = peak * (0.8 * body + 0.2 * note + 0.6 * noiseR);
    }
  }
};

}  // namespace chaintest
