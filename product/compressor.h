#pragma once
#include <cmath>
#include <cstdint>

#include "product/envFollower.h"

// Gain computer on top of the envelope: threshold, ratio and a soft knee whose width follows
// the threshold's depth. The owning chain assigns the settings directly at reset, hence public.
class compressor : public envFollower {
public:
  compressor();

  // Audio thread. Allocates nothing, takes no lock.
  // Returns x with the gain applied; the gain itself is left in mGainDb.
  double Process(double x) override {
    UpdateEnvelope(x);
    mGainDb = ComputeGainDb(std::log(std::fabs(mEnvelope)) * 8.685889638065037);
    return x * std::exp(mGainDb * 0.1151292546497);
  }

  // Audio thread, may be called every sample. Allocates nothing, takes no lock.
  void SetRatio(double r) {
    mRatio = r;
    RecomputeKnee();
    mSlope = mInfiniteRatio != 0 ? 1.0 : 1.0 - 1.0 / r;
  }
  // Audio thread, may be called every sample. Allocates nothing, takes no lock.
  void SetThreshold(double thresholdDb) {
    mThreshold = thresholdDb;
    RecomputeKnee();
  }
  // Audio thread, may be called every sample. Allocates nothing, takes no lock.
  void SetKneeFactor(double k) {
    mKneeFactor = k;
    RecomputeKnee();
  }

  double mGainDb = 0.0;
  double mKneeFactor = 0.0;
  double mRatio = 4.0;
  double mThreshold = 0.0;
  double mKneeWidth = -0.0;
  double mKneeLow = 0.0;
  double mKneeHigh = 0.0;
  double mSlope = 0.75;
  int32_t mInfiniteRatio = 0;

private:
  // With the negative thresholds in use the knee is centred on the threshold and is
  // mKneeFactor times as wide as the threshold is deep; a 0 dB threshold has no knee.
  void RecomputeKnee() {
    mKneeWidth = mThreshold * mKneeFactor * -1.0;
    mKneeLow = mThreshold - mKneeWidth / 2.0;
    mKneeHigh = mThreshold + mKneeWidth / 2.0;
  }

  double ComputeGainDb(double envelopeDb) {
    const double s = mInfiniteRatio != 0 ? 1.0 : 1.0 - 1.0 / mRatio;
    mSlope = s;
    double g;
    if (mKneeWidth > 0.0 && mKneeLow < envelopeDb && envelopeDb < mKneeHigh) {
      // Quadratic knee that meets the straight line at both edges.
      const double kneeSlope = (envelopeDb - mKneeLow) / mKneeWidth * 0.5 * s;
      g = (mKneeLow - envelopeDb) * kneeSlope;
    } else {
      g = (mThreshold - envelopeDb) * s;
      // Silence gives an envelope of minus infinity; the gain must then be 0 dB, also when
      // the slope is 0 and the product is NaN.
      if (!(g < 0.0)) g = 0.0;
    }
    return g;
  }
};
