#pragma once
#include <cstdint>

// Filter kinds of a Biquad section; the codes are stored as 32-bit integers.
enum BiquadType : int32_t {
  kLowpass = 0,
  kHighpass = 1,
  kBandpass = 2,
  kNotch = 3,
  kPeak = 4,
  kLowShelf = 5,
  kHighShelf = 6,
};
