#include "host/validator/TestSignals.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tbvalidate {

const char* SignalName(Signal signal) {
  switch (signal) {
    case Signal::kNoise: return "noise";
    case Signal::kSilence: return "silence";
    case Signal::kSquare: return "square wave";
    case Signal::kSine: return "1 kHz sine";
    case Signal::kImpulse: return "impulse";
  }
  return "?";
}

void FillSignal(Signal signal, float* out, int n, int64_t start, double fs, std::mt19937_64& rng) {
  std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
  const double halfPeriod = fs / 200.0;
  for (int i = 0; i < n; ++i) {
    const double t = static_cast<double>(start + i);
    switch (signal) {
      case Signal::kNoise: out[i] = noise(rng); break;
      case Signal::kSilence: out[i] = 0.0f; break;
      case Signal::kSquare: out[i] = static_cast<int64_t>(t / halfPeriod) % 2 == 0 ? 1.0f : -1.0f; break;
      case Signal::kSine: out[i] = static_cast<float>(0.5 * std::sin(2.0 * std::numbers::pi * 1000.0 * t / fs)); break;
      case Signal::kImpulse: out[i] = i == 0 ? 0.5f : 0.0f; break;
    }
  }
}

double Peak(const float* samples, int n) {
  double peak = 0.0;
  for (int i = 0; i < n; ++i) peak = std::max(peak, static_cast<double>(std::fabs(samples[i])));
  return peak;
}

}  // namespace tbvalidate
