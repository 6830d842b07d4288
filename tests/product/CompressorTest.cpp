#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "product/compressor.h"

namespace {

double DbToLinear(double db) { return std::pow(10.0, db / 20.0); }

// Holds the envelope at `levelDb` (a sample equal to the envelope leaves it where it is) and
// returns the gain the compressor computes for it, in dB.
double GainAtLevel(compressor& c, double levelDb) {
  const double level = DbToLinear(levelDb);
  c.mEnvelope = level;
  const double out = c.Process(level);
  EXPECT_NEAR(out, level * DbToLinear(c.mGainDb), 1e-12 * level) << "output carries the gain";
  return c.mGainDb;
}

// The textbook soft-knee gain computer, with the knee of width w centred on the threshold t
// and slope s = 1 - 1/ratio.
double ReferenceGainDb(double e, double t, double w, double s) {
  if (w > 0.0 && e > t - w / 2 && e < t + w / 2) {
    const double into = e - (t - w / 2);
    return -s * into * into / (2.0 * w);
  }
  return std::min(0.0, (t - e) * s);
}

compressor MakeCompressor(double thresholdDb, double kneeFactor, double ratio) {
  compressor c;
  c.Setup(0, 10.0, 100.0, 0.0, 48000.0);
  c.SetThreshold(thresholdDb);
  c.SetKneeFactor(kneeFactor);
  c.SetRatio(ratio);
  return c;
}

TEST(Compressor, ConstructionValues) {
  compressor c;
  EXPECT_EQ(c.mGainDb, 0.0);
  EXPECT_EQ(c.mKneeFactor, 0.0);
  EXPECT_EQ(c.mRatio, 4.0);
  EXPECT_EQ(c.mThreshold, 0.0);
  EXPECT_EQ(c.mKneeWidth, 0.0);
  EXPECT_TRUE(std::signbit(c.mKneeWidth));
  EXPECT_EQ(c.mKneeLow, 0.0);
  EXPECT_EQ(c.mKneeHigh, 0.0);
  EXPECT_EQ(c.mSlope, 0.75);
  EXPECT_EQ(c.mInfiniteRatio, 0);
  EXPECT_EQ(c.mSampleRate, 44100.0);
  EXPECT_EQ(c.mEnvelope, 0.0);
}

TEST(Compressor, HardKneeThresholdMinus20Ratio4) {
  compressor c = MakeCompressor(-20.0, 0.0, 4.0);
  EXPECT_EQ(c.mSlope, 0.75);
  EXPECT_NEAR(GainAtLevel(c, 0.0), -15.0, 1e-9);
  EXPECT_EQ(GainAtLevel(c, -30.0), 0.0);
  EXPECT_NEAR(GainAtLevel(c, -10.0), -7.5, 1e-9);
}

TEST(Compressor, KneeFollowsTheThresholdDepth) {
  compressor c = MakeCompressor(-30.0, 2.0, 2.0);
  EXPECT_EQ(c.mKneeWidth, 60.0);
  EXPECT_EQ(c.mKneeLow, -60.0);
  EXPECT_EQ(c.mKneeHigh, 0.0);
  EXPECT_NEAR(GainAtLevel(c, -60.0), 0.0, 1e-9);
  EXPECT_NEAR(GainAtLevel(c, -30.0), -3.75, 1e-9);
  EXPECT_NEAR(GainAtLevel(c, 0.0), -15.0, 1e-9);
  EXPECT_EQ(GainAtLevel(c, -80.0), 0.0);
}

TEST(Compressor, GainCurveMatchesTheTextbookSoftKneeAndIsContinuous) {
  struct Setting {
    double threshold, kneeFactor, ratio;
  };
  for (const Setting& s : {Setting{-30.0, 2.0, 2.0}, Setting{-12.0, 0.3, 1000.0}, Setting{-40.0, 0.5, 1.5},
                           Setting{-20.0, 0.0, 4.0}}) {
    compressor c = MakeCompressor(s.threshold, s.kneeFactor, s.ratio);
    const double width = -s.threshold * s.kneeFactor;
    const double slope = 1.0 - 1.0 / s.ratio;
    double previous = 0.0;
    for (double e = -90.0; e <= 12.0; e += 0.125) {
      const double g = GainAtLevel(c, e);
      EXPECT_NEAR(g, ReferenceGainDb(e, s.threshold, width, slope), 1e-9)
          << "threshold " << s.threshold << " knee " << s.kneeFactor << " at " << e << " dB";
      EXPECT_LE(g, previous + 1e-12) << "gain reduction never shrinks as the level rises";
      EXPECT_LT(std::fabs(g - previous), 0.125 + 1e-9) << "no jump at " << e << " dB";
      previous = g;
    }
  }
}

TEST(Compressor, ZeroThresholdHasNoKneeAndNoReductionUpToFullScale) {
  compressor c = MakeCompressor(0.0, 2.0, 4.0);
  EXPECT_FALSE(c.mKneeWidth > 0.0);
  for (double e = -100.0; e <= 0.0; e += 0.5) EXPECT_EQ(GainAtLevel(c, e), 0.0) << e;
  EXPECT_NEAR(GainAtLevel(c, 6.0), -4.5, 1e-9);
}

TEST(Compressor, InfiniteRatioPullsEverythingDownToTheThreshold) {
  compressor c = MakeCompressor(-20.0, 0.0, 4.0);
  c.mInfiniteRatio = 1;
  c.SetRatio(4.0);
  EXPECT_EQ(c.mSlope, 1.0);
  for (double e : {-19.0, -10.0, 0.0, 6.0}) EXPECT_NEAR(e + GainAtLevel(c, e), -20.0, 1e-9) << e;

  // The gain computer refreshes the slope itself, without a setter call.
  compressor d = MakeCompressor(-20.0, 0.0, 4.0);
  d.mInfiniteRatio = 1;
  EXPECT_NEAR(GainAtLevel(d, 0.0), -20.0, 1e-9);
  EXPECT_EQ(d.mSlope, 1.0);
  d.mInfiniteRatio = 0;
  EXPECT_NEAR(GainAtLevel(d, 0.0), -15.0, 1e-9);
  EXPECT_EQ(d.mSlope, 0.75);
}

TEST(Compressor, SilenceGivesUnityGain) {
  compressor c = MakeCompressor(-20.0, 0.0, 4.0);
  EXPECT_EQ(c.Process(0.0), 0.0);
  EXPECT_EQ(c.mGainDb, 0.0);
  // A ratio of 1 has slope 0; minus infinity times 0 must still give 0 dB.
  c.SetRatio(1.0);
  c.mEnvelope = 0.0;
  c.Process(0.0);
  EXPECT_EQ(c.mGainDb, 0.0);
}

TEST(Compressor, SettersTouchOnlyTheirOwnValuesAndSetupKeepsThem) {
  compressor c = MakeCompressor(-24.0, 0.5, 3.0);
  EXPECT_EQ(c.mKneeWidth, 12.0);
  EXPECT_EQ(c.mKneeLow, -30.0);
  EXPECT_EQ(c.mKneeHigh, -18.0);
  EXPECT_NEAR(c.mSlope, 2.0 / 3.0, 1e-15);
  c.SetThreshold(-12.0);
  EXPECT_EQ(c.mKneeWidth, 6.0);
  EXPECT_EQ(c.mKneeLow, -15.0);
  EXPECT_EQ(c.mKneeHigh, -9.0);
  c.SetKneeFactor(1.0);
  EXPECT_EQ(c.mKneeWidth, 12.0);
  EXPECT_EQ(c.mRatio, 3.0);

  c.Setup(0, 5.0, 50.0, 0.0, 96000.0);
  EXPECT_EQ(c.mThreshold, -12.0);
  EXPECT_EQ(c.mKneeFactor, 1.0);
  EXPECT_EQ(c.mRatio, 3.0);
  EXPECT_EQ(c.mKneeWidth, 12.0);
}

TEST(Compressor, ConstantToneSettlesOnTheStaticCurve) {
  compressor c = MakeCompressor(-20.0, 0.0, 4.0);
  double out = 0.0;
  for (int n = 0; n < 48000; ++n) out = c.Process(0.5);  // -6.02 dB, 14 dB over the threshold
  const double inDb = 20.0 * std::log10(0.5);
  EXPECT_NEAR(20.0 * std::log10(out), -20.0 + (inDb + 20.0) / 4.0, 1e-6);
}

TEST(Compressor, CallsThroughTheBaseClassReachTheGainComputer) {
  compressor c = MakeCompressor(-20.0, 0.0, 4.0);
  envFollower& asFollower = c;
  c.mEnvelope = 1.0;
  EXPECT_NEAR(asFollower.Process(1.0), DbToLinear(-15.0), 1e-12);
}

}  // namespace
