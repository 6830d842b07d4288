#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

#include "product/Biquad.h"
#include "product/ChainSettings.h"
#include "product/DelayLine.h"
#include "product/HalfbandFilter.h"
#include "product/MeterBallistics.h"
#include "product/ParamSmoother.h"
#include "product/RangeMap.h"
#include "product/Saturate.h"
#include "product/compressor.h"

namespace chaintest {

// The audio chain written out plainly, one sample after the other with the building blocks'
// own per-sample calls, as the reference the optimised chain is measured against. Nothing here
// is batched, cached or skipped.
class PlainChain {
public:
  double limiterValue = 1.0;
  double compValue = 1.0;

  void Reset(double fs, const ChainSettings& s) {
    mCompRecoveryMs = RecoveryAtSilence(s.compRecovery, 100.0, 400.0, 800.0, 1500.0, mCompRecoveryMs);
    mLevelRecoveryMs = RecoveryAtSilence(s.levelRecovery, 50.0, 100.0, 200.0, 800.0, mLevelRecoveryMs);
    mUpL.Clear();
    mDownL.Clear();
    mUpR.Clear();
    mDownR.Clear();
    mDryDelayL.Rewind();
    mDryDelayR.Rewind();

    mComp.Setup(0, 10, 100, 0, fs);
    mComp.mKneeFactor = 2.0;
    mComp.mInfiniteRatio = 0;
    mComp.mRatio = 1.5;
    mComp.mSlope = 0.33333333333333337;
    mComp.mGainDb = 0;
    mComp.mThreshold = 0;
    mComp.mKneeWidth = -0.0;
    mComp.mKneeLow = 0;
    mComp.mKneeHigh = 0;

    mLim.Setup(0, 5, 50, 0, fs);
    mLim.mInfiniteRatio = 0;
    mLim.mKneeFactor = 0.3;
    mLim.mRatio = 1000;
    mLim.mGainDb = 0;
    mLim.mThreshold = 0;
    mLim.mKneeLow = 0;
    mLim.mKneeHigh = 0;
    mLim.mKneeWidth = -0.0;
    mLim.mSlope = 0.999;

    mThresholdSm.SetState(s.thresholdTarget);
    mLimitSm.SetState(-2 * s.limitTarget);
    mCompRecSm.SetState(mCompRecoveryMs);
    mLevelRecSm.SetState(mLevelRecoveryMs);
    mGainSm.SetState(s.gainTarget);
    mRatioSm.SetState(s.ratioTarget);
    mMixSm.SetState(s.mixTarget / 22);
  }

  void Process(const double* const* in, double* const* out, int nFrames, double fs, const ChainSettings& s) {
    const double m = s.mixTarget / 22;
    for (ParamSmoother* sm : {&mThresholdSm, &mLimitSm, &mCompRecSm, &mLevelRecSm, &mGainSm, &mRatioSm, &mMixSm})
      sm->SetCutoff(fs);
    mDetHP.SetBiquad(kHighpass, s.highPassHz / fs, 0.707, 0);
    mDetMid.SetBiquad(kPeak, 1500 / fs, 0.207, s.midPeakGain);
    mDetShelf.SetBiquad(kHighShelf, s.highPassHz / fs, 0.207, s.highShelfGain);
    mInHPL.SetBiquad(kHighpass, 10 / fs, 0.8, 0);
    mInHPR.SetBiquad(kHighpass, 10 / fs, 0.8, 0);
    mInPeakL.SetBiquad(kPeak, 1500 / fs, 0.107, 0.3);
    mInPeakR.SetBiquad(kPeak, 1500 / fs, 0.107, 0.3);

    compMinGainDb = 0.0;
    limiterMinGainDb = 0.0;
    for (int i = 0; i < nFrames; ++i) {
      const double inL = in[0][i], inR = in[1][i], scL = in[2][i], scR = in[3][i];
      mD = -mD;
      const double d = mD;

      double x = static_cast<float>(inL);
      x = static_cast<float>(mInHPL.Process(x));
      x = static_cast<float>(mInPeakL.Process(x));
      const double colL = Saturate(x) + d;
      x = static_cast<float>(inR);
      x = static_cast<float>(mInHPR.Process(x));
      x = static_cast<float>(mInPeakR.Process(x));
      const double colR = Saturate(x) + d;

      if (s.extSidechain == 0) {
        mDetL = Saturate(colL);
        mDetR = Saturate(colR);
      } else if (s.extSidechain == 1) {
        mDetL = Saturate(d + scL);
        mDetR = Saturate(d + scR);
      }

      const double p = std::max(std::fabs(mDetL), std::fabs(mDetR));
      const double compAuto1 = mCompAuto1.Map(p), compAuto2 = mCompAuto2.Map(p);
      const double levelAuto1 = mLevelAuto1.Map(p), levelAuto2 = mLevelAuto2.Map(p);
      switch (s.compRecovery) {
        case 0: mCompRecoveryMs = 100; break;
        case 1: mCompRecoveryMs = 400; break;
        case 2: mCompRecoveryMs = 800; break;
        case 3: mCompRecoveryMs = 1500; break;
        case 4: mCompRecoveryMs = compAuto1; break;
        case 5: mCompRecoveryMs = compAuto2; break;
        default: break;
      }
      switch (s.levelRecovery) {
        case 0: mLevelRecoveryMs = 50; break;
        case 1: mLevelRecoveryMs = 100; break;
        case 2: mLevelRecoveryMs = 200; break;
        case 3: mLevelRecoveryMs = 800; break;
        case 4: mLevelRecoveryMs = levelAuto1; break;
        case 5: mLevelRecoveryMs = levelAuto2; break;
        default: break;
      }

      double c = static_cast<float>(0.5 * (mDetL + mDetR));
      c = static_cast<float>(mDetHP.Process(c));
      c = static_cast<float>(mDetMid.Process(c));
      c = static_cast<float>(mDetShelf.Process(c));

      mComp.Process(c);
      const double gA = mComp.mGainDb;

      mComp.SetAttack(10);
      double r = mCompRecSm.Process(mCompRecoveryMs);
      if (r != mComp.mReleaseCoef) r = mCompRecSm.Process(mCompRecoveryMs);
      mComp.SetRelease(r);
      mComp.SetHold(0);
      double q = mRatioSm.Process(s.ratioTarget);
      if (q != mComp.mRatio) {
        q = mRatioSm.Process(s.ratioTarget);
        mComp.SetRatio(q);
      }
      double t = mThresholdSm.Process(s.thresholdTarget);
      if (t != mComp.mThreshold) {
        t = mThresholdSm.Process(s.thresholdTarget);
        mComp.SetThreshold(t);
      }
      if (mComp.mKneeFactor != s.kneeFactorTarget) mComp.SetKneeFactor(s.kneeFactorTarget);
      mComp.mInfiniteRatio = 0;
      mComp.mSlope = 1 - 1 / mComp.mRatio;

      const double v = std::fabs(std::max(mDetL, mDetR));
      mLim.Process(v);
      const double gB = mLim.mGainDb;

      mLim.SetAttack(5);
      r = mLevelRecSm.Process(mLevelRecoveryMs);
      if (r != mLim.mReleaseCoef) r = mLevelRecSm.Process(mLevelRecoveryMs);
      mLim.SetRelease(r);
      mLim.SetHold(0);
      if (mLim.mRatio != 1000) mLim.SetRatio(1000);
      t = mLimitSm.Process(-2 * s.limitTarget);
      if (t != mLim.mThreshold) {
        t = mLimitSm.Process(-2 * s.limitTarget);
        mLim.SetThreshold(t);
      }
      if (mLim.mKneeFactor != 0.3) mLim.SetKneeFactor(0.3);
      mLim.mInfiniteRatio = 0;
      mLim.mSlope = 1 - 1 / mLim.mRatio;

      const double GA = std::exp(gA * 0.1151292546497);
      const double GB = std::exp(gB * 0.1151292546497);
      compMinGainDb = std::min(compMinGainDb, gA);
      limiterMinGainDb = std::min(limiterMinGainDb, gB);

      if (s.oversampleCount == 0) {
        mWetL = GB * (GA * colL);
        mWetR = GB * (GA * colR);
      } else if (s.oversampleCount == 2) {
        for (int j = 0; j < 2; ++j) {
          double uL = j == 0 ? colL : 0.0;
          double uR = j == 0 ? colR : 0.0;
          uL = mUpL.Process(uL);
          uR = mUpR.Process(uR);
          uL = GB * 2 * (GA * uL);
          uR = GB * 2 * (GA * uR);
          uL = mDownL.Process(uL);
          uR = mDownR.Process(uR);
          if (j == 0) {
            mWetL = uL;
            mWetR = uR;
          }
        }
      }

      mWetL = mGainSm.Process(s.gainTarget) * mWetL;
      mWetR = mGainSm.Process(s.gainTarget) * mWetR;

      if (s.oversampleCount == 0) {
        mDryL = inL;
        mDryR = inR;
      } else if (s.oversampleCount == 2) {
        mDryL = mDryDelayL.Process(inL, 64);
        mDryR = mDryDelayR.Process(inR, 64);
      }

      if (s.bypassValue == 0) {
        out[0][i] = inL - d;
        out[1][i] = inR - d;
      } else if (s.bypassValue == 1) {
        const double m1 = mMixSm.Process(m);
        const double m2 = mMixSm.Process(m);
        out[0][i] = (1 - m2) * mDryL + (mWetL - d) * m1;
        const double m3 = mMixSm.Process(m);
        const double m4 = mMixSm.Process(m);
        out[1][i] = (1 - m4) * mDryR + (mWetR - d) * m3;
      }

      if (s.bypassValue == 0) {
        mLimIn = 0;
        mCompIn = 0;
      } else if (s.bypassValue == 1) {
        mLimIn = 1 - GB;
        mCompIn = 1 - GA;
      }
      limiterValue = mLimMeter.Process(mLimIn, fs);
      compValue = mCompMeter.Process(mCompIn, fs);
    }
  }

  const compressor& Compressor() const { return mComp; }
  const compressor& Limiter() const { return mLim; }
  double CompRecoveryMs() const { return mCompRecoveryMs; }
  double LevelRecoveryMs() const { return mLevelRecoveryMs; }

  double compMinGainDb = 0.0;
  double limiterMinGainDb = 0.0;

private:
  static double RecoveryAtSilence(int32_t i, double t0, double t1, double t2, double t3, double current) {
    const double table[6] = {t0, t1, t2, t3, 500, 1000};
    return i >= 0 && i < 6 ? table[i] : current;
  }

  ParamSmoother mThresholdSm, mLimitSm, mCompRecSm, mLevelRecSm, mGainSm, mRatioSm, mMixSm;
  compressor mComp, mLim;
  Biquad mInHPL, mInHPR, mInPeakL, mInPeakR, mDetHP, mDetMid, mDetShelf;
  HalfbandFilter mUpL, mDownL, mUpR, mDownR;
  DelayLine mDryDelayL, mDryDelayR;
  RangeMap mCompAuto1{0, 1, 500, 5000}, mCompAuto2{0, 1, 1000, 7000};
  RangeMap mLevelAuto1{0, 1, 500, 5000}, mLevelAuto2{0, 1, 1000, 7000};
  double mCompRecoveryMs = 400, mLevelRecoveryMs = 100;
  MeterBallistics mLimMeter{1.0}, mCompMeter{1.0};
  double mD = 1e-15;
  double mDetL = 0, mDetR = 0, mWetL = 0, mWetR = 0, mDryL = 0, mDryR = 0, mLimIn = 0, mCompIn = 0;
};

}  // namespace chaintest
