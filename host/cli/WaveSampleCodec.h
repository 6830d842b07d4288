#pragma once
#include <cstdint>

#include "host/cli/WaveFormat.h"

namespace tbhost {

// Packs and unpacks the little-endian samples of a WAVE data chunk (8-bit samples are unsigned).
// Integer samples use the host's shared conversion, so both file back ends agree to the bit.
class WaveSampleCodec {
public:
  explicit WaveSampleCodec(const WaveFormat& format) : mFormat(format) {}

  void Decode(const uint8_t* bytes, int64_t samples, float* out) const;
  // Returns the number of samples that had to be clipped.
  int64_t Encode(const float* in, int64_t samples, uint8_t* bytes) const;

private:
  WaveFormat mFormat;
};

}  // namespace tbhost
