#include "host/validator/OutputCheck.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace tbvalidate {
namespace {
std::string Number(double x) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", x);
  return text;
}
}  // namespace

void OutputCheck::MarkUnwritten(float* out, int n) {
  for (int i = 0; i < n; ++i) std::memcpy(out + i, &kUnwrittenBits, sizeof(float));
}

double OutputCheck::Limit(double inputPeak, double gainDb) {
  // Silence in still allows the tiny offsets that keep filters out of subnormal numbers.
  return (inputPeak + 1e-3) * std::pow(10.0, (gainDb + kHeadroomDb) / 20.0);
}

std::string OutputCheck::Examine(const float* out, int n, double limit) {
  for (int i = 0; i < n; ++i) {
    uint32_t bits;
    std::memcpy(&bits, out + i, sizeof bits);
    const float x = out[i];
    const std::string at = "frame " + std::to_string(i);
    if (bits == kUnwrittenBits) return at + " was not written";
    if (std::isnan(x)) return at + " is NaN";
    if (std::isinf(x)) return at + " is infinite";
    if (x != 0.0f && std::fabs(x) < FLT_MIN) return at + " is subnormal (" + Number(x) + ")";
    if (std::fabs(x) > limit) return at + " is " + Number(x) + ", beyond " + Number(limit);
  }
  return {};
}

}  // namespace tbvalidate
