#pragma once
#include <cstdint>

namespace tbhost {

// Conversions between integer PCM and the host's float buffers. Both file back ends use these,
// so a file renders to the same bytes on every platform.
//
// An integer sample of b bits, q in [-2^(b-1), 2^(b-1) - 1], stands for q / 2^(b-1): full scale
// is 1.0 on the negative side, one step below it on the positive side.

// `leftJustified` is a sample shifted into the top bits of 32 (as 16-bit q << 16).
float IntegerSampleToFloat(int32_t leftJustified);

// Rounds to the nearest step of a `bits`-bit sample (halves away from zero) and clips to its
// range; `clipped` is set when the value did not fit. Returns q (not shifted).
int32_t FloatToIntegerSample(float value, int32_t bits, bool& clipped);

// The same, shifted into the top bits of 32.
inline int32_t FloatToLeftJustified(float value, int32_t bits, bool& clipped) {
  const int32_t q = FloatToIntegerSample(value, bits, clipped);
  return static_cast<int32_t>(static_cast<uint32_t>(q) << (32 - bits));
}

}  // namespace tbhost
