#include "host/cli/LevelStats.h"

#include <cmath>
#include <limits>

namespace tbhost {
namespace {

double ToDb(double linear) {
  return linear > 0.0 ? 20.0 * std::log10(linear) : -std::numeric_limits<double>::infinity();
}

}  // namespace

void LevelStats::Add(const float* samples, int64_t count) {
  for (int64_t i = 0; i < count; ++i) {
    const double v = samples[i];
    mPeak = std::fmax(mPeak, std::fabs(v));
    mSumSquares += v * v;
  }
  mCount += count;
}

double LevelStats::PeakDb() const { return ToDb(mPeak); }

double LevelStats::RmsDb() const {
  return mCount ? ToDb(std::sqrt(mSumSquares / static_cast<double>(mCount))) : ToDb(0.0);
}

}  // namespace tbhost
