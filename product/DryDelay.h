#pragma once
#include <algorithm>
#include <array>
#include <cstring>

// The 64-frame delay that keeps the dry signal aligned with the oversampled path: DelayLine's
// behaviour at length 64 with gain 1 (the position wraps at 64; a rewind restarts at the head
// of the buffer, which keeps its contents), a block at a time, and without the 44100-sample
// buffer that DelayLine holds for longer delays the chain never asks for.
class DryDelay {
public:
  static constexpr int kLength = 64;

  // Audio thread. Allocates nothing, takes no lock. out[i] receives the input of kLength
  // frames earlier (zeros, or what the buffer held, at first); in and out must not overlap.
  void Process(const double* in, double* out, int n) {
    while (n > 0) {
      if (mIndex >= kLength) mIndex = 0;
      const int k = std::min(n, kLength - mIndex);
      std::memcpy(out, mBuffer.data() + mIndex, sizeof(double) * static_cast<size_t>(k));
      std::memcpy(mBuffer.data() + mIndex, in, sizeof(double) * static_cast<size_t>(k));
      mIndex += k;
      in += k;
      out += k;
      n -= k;
    }
  }

  // Audio thread (at reset). Allocates nothing, takes no lock.
  void Rewind() { mIndex = 0; }

private:
  int mIndex = 0;
  std::array<double, kLength> mBuffer{};
};
