#pragma once
#include <array>
#include <cstdint>

#include "product/ChainKernels.h"

// HalfbandFilter run a block at a time for the two-times oversampled section, where every base
// frame makes two filter calls. The stored samples, the alternating offset and the taps are
// those of HalfbandFilter::Process, so every output agrees with what the per-call filter
// returns to the last bit or two (the sum may run through fused multiply-adds); the speed comes
// from computing the outputs of one call phase side by side. The history is kept split by
// phase: even[j] holds the sample stored by the first call of frame j, odd[j] that of the
// second. Output arrays are written in vectors, so they need room for n rounded up to 8.
class HalfbandBlockFilter {
public:
  static constexpr int kMaxFrames = 128;

  // Main thread. The batch loops come from `kernels`.
  explicit HalfbandBlockFilter(const ChainKernels& kernels = FastestKernels());

  // Audio thread (at reset). Allocates nothing, takes no lock. The offset keeps its sign.
  void Clear();

  // Audio thread. Allocates nothing, takes no lock. n <= kMaxFrames.
  // Interpolation: for each x[j] the filter is called with x[j] and then with 0; the two
  // outputs land in first[j] and second[j].
  void Upsample(const double* x, double* first, double* second, int n);

  // Audio thread. Allocates nothing, takes no lock. n <= kMaxFrames.
  // Decimation: the filter is called with first[j] and then second[j]; out[j] receives the
  // output of the first call (the second call's output is never used, only its history).
  void Downsample(const double* first, const double* second, double* out, int n);

  // The offset the next call will negate and use, as in HalfbandFilter.
  double DenormalOffset() const { return mOffset; }

private:
  static constexpr int kHistory = 64;
  static constexpr int kSize = kHistory + kMaxFrames + 8;

  // Offsets of the two calls of a frame; a frame has two calls, so a block starts and ends with
  // the same stored offset.
  double FirstOffset() const { return -mOffset; }
  double SecondOffset() const { return mOffset; }
  void Append(const double* first, const double* second, int n);
  void Shift(int n);

  const ChainKernels* mKernels;
  double mOffset = 1e-15;
  // Interpolation frames since the last clear, up to kHistory: from then on the second calls'
  // history holds nothing but the offset, and the first call's odd taps sum to a constant.
  int mSteadyFrames = 0;
  alignas(64) std::array<double, kSize> mEven{};
  alignas(64) std::array<double, kSize> mOdd{};
};
