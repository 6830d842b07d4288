#include <cmath>
#include <span>

#include "product/Tollenbrook.h"

// What each parameter setting means to the processing. The display texts name the settings
// for the user; these tables are what the chain uses, and the two do not always agree in
// number (the threshold shown as "-20dB" drives the compressor at -60 dB).
namespace {

constexpr double kThresholdDb[] = {-60, -56, -52, -48, -44, -40, -36, -32, -28, -24, -20, -16, -12, -8, -4, 0};
constexpr double kLimitValue[] = {15, 14.5, 14, 13.5, 13, 12.5, 12, 11.5, 11, 10.5, 10, 9.5,
                                  9,  8.5,  8,  7.5,  7,  6.5,  6,  5.5,  5,  4.5,  4};
// Gain in decibels / 20: the output gain is ten to this power.
constexpr double kGainExponent[] = {0.0,  0.05, 0.1,  0.15, 0.2,  0.25, 0.3,  0.35, 0.4,  0.45, 0.5,
                                    0.55, 0.6,  0.65, 0.7,  0.75, 0.8,  0.85, 0.9,  0.95, 1.0};
constexpr int kMixSteps = 23;
constexpr double kRatio[] = {1.5, 2, 3, 4, 6};
// Gentler ratios come with wider knees.
constexpr double kKneeFactor[] = {2, 1.5, 1, 0.8, 0.6};
constexpr double kHighShelfDb[] = {-7, -4.5, -1.5, 1.5, 4.5};
constexpr double kMidPeakDb[] = {-8, -5, -2, 3, 6};
constexpr double kHighPassHz[] = {20, 50, 80, 160, 360};  // "OFF" is a 20 Hz high-pass
constexpr int32_t kOversampleCount[] = {0, 2};
constexpr int32_t kOversampleLatency[] = {0, 64};

// The table index of a value (truncated toward zero), or -1 outside a table of that size.
int TableIndex(double value, int size) {
  const double i = std::trunc(value);
  return (i >= 0.0 && i < size) ? static_cast<int>(i) : -1;
}

template <typename T, size_t N>
void SetFromTable(iplug::RelaxedAtomic<T>& target, const T (&table)[N], int i) {
  if (i >= 0 && i < static_cast<int>(N)) target = table[i];
}

}  // namespace

void Tollenbrook::OnParamChange(int paramIdx) {
  if (!IsValidParamIdx(paramIdx)) return;
  const double value = GetParam(paramIdx)->Value();
  const int i = TableIndex(value, 64);  // every table is shorter; each setter checks its own size

  switch (paramIdx) {
    case kParamCompThreshold: SetFromTable(mTargets.mThresholdTarget, kThresholdDb, i); break;
    case kParamLimitLevel: SetFromTable(mTargets.mLimitTarget, kLimitValue, i); break;
    case kParamGain:
      if (i >= 0 && i < static_cast<int>(std::size(kGainExponent))) mTargets.mGainTarget = std::pow(10.0, kGainExponent[i]);
      break;
    case kParamMix:
      if (i >= 0 && i < kMixSteps) mTargets.mMixTarget = static_cast<double>(i);
      break;
    case kParamRatio:
      SetFromTable(mTargets.mRatioTarget, kRatio, i);
      SetFromTable(mTargets.mKneeFactorTarget, kKneeFactor, i);
      break;
    case kParamHigh: SetFromTable(mTargets.mHighShelfGain, kHighShelfDb, i); break;
    case kParamMid: SetFromTable(mTargets.mMidPeakGain, kMidPeakDb, i); break;
    case kParamHighPass: SetFromTable(mTargets.mHighPassHz, kHighPassHz, i); break;
    case kParamBypass: mTargets.mBypassValue = value; break;
    case kParamOversample:
      SetFromTable(mTargets.mOversampleCount, kOversampleCount, i);
      SetFromTable(mTargets.mOversampleLatency, kOversampleLatency, i);
      break;
    default: break;  // recovery times and the side-chain switch are read by the chain itself
  }
}
