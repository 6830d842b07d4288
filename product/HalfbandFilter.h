#pragma once
#include <array>
#include <cstdint>

// 129-tap linear-phase halfband low-pass for two-times up- and down-sampling: 64 samples of
// delay at its own rate, flat to 0.23 of that rate, more than 100 dB down from 0.3.
class HalfbandFilter {
public:
  static constexpr int kTaps = 129;
  static constexpr int kCentre = 64;
  static constexpr int kOddTaps = 32;
  // Taps h[1], h[3] ... h[63]; h[128 - k] equals h[k], h[64] is 0.5 and the other even taps are 0.
  static constexpr std::array<double, kOddTaps> kOddCoefficients = {
      -0.000005, 0.000012,  -0.000025, 0.000045,  -0.000075, 0.000118,  -0.00018,  0.000264,
      -0.000377, 0.000524,  -0.000713, 0.000954,  -0.001255, 0.001627,  -0.002082, 0.002635,
      -0.003301, 0.004099,  -0.005051, 0.006187,  -0.007542, 0.009163,  -0.011119, 0.013505,
      -0.01647,  0.020254,  -0.025272, 0.032309,  -0.043056, 0.061915,  -0.105047, 0.317956};

  HalfbandFilter() = default;

  // Audio thread. Allocates nothing, takes no lock.
  double Process(double x) {
    // The offset alternates sign every call and keeps the history free of subnormal numbers.
    mDenormalOffset = -mDenormalOffset;
    // Each sample is stored twice, kTaps apart, so the newest kTaps samples are always one
    // contiguous run starting at mNewest: s[k] = mHistory[mNewest + k], newest first.
    mNewest = mNewest == 0 ? kTaps - 1 : mNewest - 1;
    const double stored = x + mDenormalOffset;
    mHistory[mNewest] = stored;
    mHistory[mNewest + kTaps] = stored;
    const double* s = &mHistory[mNewest];
    double y = 0.5 * s[kCentre];
    for (int i = 0; i < kOddTaps; ++i) {
      const int k = 2 * i + 1;
      y += kOddCoefficients[i] * (s[k] + s[kTaps - 1 - k]);
    }
    return y - mDenormalOffset;
  }

  // Audio thread (at reset). Allocates nothing, takes no lock. The offset keeps its sign.
  void Clear();

  double DenormalOffset() const { return mDenormalOffset; }

private:
  double mDenormalOffset = 1e-15;
  int32_t mNewest = 0;
  std::array<double, 2 * kTaps> mHistory{};
};
