#include <algorithm>
#include <cmath>

#include "product/Tollenbrook.h"

// The sections' gain reduction as meters that a host draws beside the audio.
namespace {
// Deeper reductions still read out; a host draws this much of the scale.
constexpr double kMeterRangeDb = 60.0;
}  // namespace

iplug::IPlugProcessor::MeterInfo Tollenbrook::GetMeterInfo(int meterIdx) const {
  switch (meterIdx) {
    case kLimiterReductionMeter: return {"Limiter Gain Reduction", 0.0, kMeterRangeDb};
    case kCompReductionMeter: return {"Compressor Gain Reduction", 0.0, kMeterRangeDb};
    default: return {};
  }
}

double Tollenbrook::GetMeterValue(int meterIdx) const {
  const BlockMeters meters = LastBlockMeters();
  // The chain reports its deepest gains (0 dB or below); a meter shows what was taken away.
  switch (meterIdx) {
    case kLimiterReductionMeter: return std::max(0.0, -meters.limiterMinGainDb);
    case kCompReductionMeter: return std::max(0.0, -meters.compMinGainDb);
    default: return 0.0;
  }
}

void Tollenbrook::ShowMeterValue(int meterIdx, double value) {
  if (meterIdx < 0 || meterIdx >= kNumHostMeters || !std::isfinite(value)) return;
  // The needle shows the fraction of the signal taken away.
  mShownAims[meterIdx] = 1.0 - std::pow(10.0, -std::max(0.0, value) / 20.0);
  mShowingMeters = true;
}
