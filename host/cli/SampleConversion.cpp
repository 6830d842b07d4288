#include "host/cli/SampleConversion.h"

#include <cmath>

namespace tbhost {

float IntegerSampleToFloat(int32_t leftJustified) {
  // Exact for up to 24 significant bits; 32-bit samples round to the nearest float.
  return static_cast<float>(static_cast<double>(leftJustified) * (1.0 / 2147483648.0));
}

int32_t FloatToIntegerSample(float value, int32_t bits, bool& clipped) {
  const double fullScale = std::ldexp(1.0, bits - 1);
  const double lo = -fullScale;
  const double hi = fullScale - 1.0;
  clipped = false;
  if (std::isnan(value)) {
    clipped = true;
    return 0;
  }
  const double scaled = static_cast<double>(value) * fullScale;  // exact: a power of two
  double q = scaled < 0.0 ? -std::floor(-scaled + 0.5) : std::floor(scaled + 0.5);
  if (q < lo) {
    q = lo;
    clipped = true;
  } else if (q > hi) {
    q = hi;
    clipped = true;
  }
  return static_cast<int32_t>(q);
}

}  // namespace tbhost
