#pragma once
#include <cstdint>
#include <string>

namespace tbvalidate {

// What a host needs of every output sample of a block: written (a host plays whatever its
// buffer held otherwise), finite, not subnormal (slow on every processor downstream) and
// within reach of the input: no more than kHeadroomDb above the input's peak plus the
// plug-in's own output gain.
class OutputCheck {
public:
  static constexpr double kHeadroomDb = 12.0;
  // A NaN that no arithmetic produces: a sample still holding it was never written.
  static constexpr uint32_t kUnwrittenBits = 0x7FA5A5A5u;

  static void MarkUnwritten(float* out, int n);
  // The largest magnitude allowed for an input peak and an output gain in dB.
  static double Limit(double inputPeak, double gainDb);
  // Empty when all n samples are fine; otherwise the first problem ("frame 17 is NaN").
  static std::string Examine(const float* out, int n, double limit);
};

}  // namespace tbvalidate
