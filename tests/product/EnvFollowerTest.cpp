#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "product/envFollower.h"

namespace {

// 0.01^(1 / n) written as a 40 dB decay over n samples.
double FortyDbCoefficient(double samples) { return std::exp(std::log(0.01) / samples); }

TEST(EnvFollower, SetupTurnsTimesIntoFortyDecibelCoefficients) {
  envFollower env;
  env.Setup(0, 10.0, 100.0, 0.0, 48000.0);
  EXPECT_NEAR(env.mAttackCoef, FortyDbCoefficient(480.0), 1e-15);
  EXPECT_NEAR(env.mReleaseCoef, FortyDbCoefficient(4800.0), 1e-15);
  EXPECT_NEAR(env.mAttackCoef, 0.9904517, 1e-7);
  EXPECT_NEAR(env.mReleaseCoef, 0.9990410, 1e-7);
  EXPECT_EQ(env.mSampleRate, 48000.0);
  EXPECT_EQ(env.mDetectMode, 0);
}

TEST(EnvFollower, ConstructionUsesFiveAndFiftyMillisecondsAt44100) {
  envFollower env;
  EXPECT_NEAR(env.mAttackCoef, FortyDbCoefficient(220.5), 1e-15);
  EXPECT_NEAR(env.mReleaseCoef, FortyDbCoefficient(2205.0), 1e-15);
  EXPECT_EQ(env.mEnvelope, 0.0);
  EXPECT_EQ(env.mHoldSamples, 0);
  EXPECT_EQ(env.mSampleRate, 44100.0);
}

TEST(EnvFollower, StepReachesNinetyNinePercentAfterExactlyTheAttackTime) {
  envFollower env;
  env.Setup(0, 10.0, 100.0, 0.0, 48000.0);
  double y = 0.0;
  for (int n = 1; n <= 480; ++n) {
    y = env.Process(1.0);
    if (n == 479) {
      EXPECT_LT(y, 0.99);
    }
  }
  EXPECT_NEAR(y, 0.99, 1e-12);
}

TEST(EnvFollower, ReleaseFallsFortyDecibelsInTheReleaseTime) {
  envFollower env;
  env.Setup(0, 1.0, 100.0, 0.0, 48000.0);
  for (int n = 0; n < 48000; ++n) env.Process(-0.5);  // the detector takes magnitudes
  const double start = env.mEnvelope;
  EXPECT_NEAR(start, 0.5, 1e-12);
  for (int n = 0; n < 4800; ++n) env.Process(0.0);
  EXPECT_NEAR(env.mEnvelope / start, 0.01, 1e-12);
}

TEST(EnvFollower, HoldKeepsThePeakForTheHoldTimeThenReleases) {
  envFollower env;
  env.Setup(0, 0.1, 10.0, 1.0, 48000.0);  // 48 samples of hold
  ASSERT_EQ(env.mHoldSamples, 48);
  // While the envelope is still rising every sample is an attack.
  for (int n = 0; n < 5; ++n) env.Process(1.0);
  ASSERT_EQ(env.mHoldCount, 0);
  const double peak = env.mEnvelope;
  for (int n = 1; n <= 48; ++n) {
    EXPECT_EQ(env.Process(0.0), peak) << "sample " << n << " of the hold";
    EXPECT_EQ(env.mHoldCount, n);
  }
  EXPECT_LT(env.Process(0.0), peak);

  // A new attack restarts the hold.
  env.Process(2.0);
  EXPECT_EQ(env.mHoldCount, 0);
  const double held = env.mEnvelope;
  EXPECT_EQ(env.Process(0.1), held);
}

TEST(EnvFollower, SampleEqualToTheEnvelopeIsNotAnAttack) {
  envFollower env;
  env.Setup(0, 1.0, 10.0, 1.0, 1000.0);  // one sample of hold
  env.Process(0.5);
  const double e = env.mEnvelope;
  ASSERT_EQ(env.mHoldCount, 0);
  // Equal: the hold branch runs and counts, an attack would have reset the counter.
  EXPECT_EQ(env.Process(e), e);
  EXPECT_EQ(env.mHoldCount, 1);
  // Equal again with the hold spent: the release branch leaves an equal envelope unchanged.
  EXPECT_EQ(env.Process(-e), e);
  EXPECT_EQ(env.mHoldCount, 1);
}

TEST(EnvFollower, SettersRecomputeWithTheStoredRate) {
  envFollower env;
  env.Setup(0, 10.0, 100.0, 0.0, 96000.0);
  env.Process(1.0);
  const double envelope = env.mEnvelope;
  env.SetAttack(1.0);
  env.SetRelease(1000.0);
  env.SetHold(2.5);
  EXPECT_NEAR(env.mAttackCoef, FortyDbCoefficient(96.0), 1e-15);
  EXPECT_NEAR(env.mReleaseCoef, FortyDbCoefficient(96000.0), 1e-15);
  EXPECT_EQ(env.mHoldSamples, 240);
  EXPECT_EQ(env.mEnvelope, envelope) << "setters leave the envelope alone";
}

TEST(EnvFollower, HoldTruncatesTowardZeroAndClampsOutOfRangeTimes) {
  envFollower env;
  env.Setup(0, 1.0, 1.0, 1.999, 1000.0);
  EXPECT_EQ(env.mHoldSamples, 1);
  env.SetHold(-3.0);
  EXPECT_EQ(env.mHoldSamples, 0);
  env.SetHold(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(env.mHoldSamples, 0);
  env.SetHold(1e300);
  EXPECT_EQ(env.mHoldSamples, std::numeric_limits<int32_t>::max());
}

TEST(EnvFollower, SetupResetsEnvelopeAndHold) {
  envFollower env;
  env.Setup(0, 1.0, 1.0, 5.0, 1000.0);
  env.Process(1.0);
  env.Process(0.0);
  ASSERT_GT(env.mEnvelope, 0.0);
  ASSERT_GT(env.mHoldCount, 0);
  env.Setup(0, 1.0, 1.0, 5.0, 1000.0);
  EXPECT_EQ(env.mEnvelope, 0.0);
  EXPECT_EQ(env.mHoldCount, 0);
}

TEST(EnvFollower, ZeroSampleRateFollowsTheInputUnsmoothed) {
  envFollower env;
  env.Setup(0, 10.0, 100.0, 0.0, 0.0);
  EXPECT_EQ(env.mAttackCoef, 0.0);
  EXPECT_EQ(env.mReleaseCoef, 0.0);
  EXPECT_EQ(env.Process(0.7), 0.7);
  EXPECT_EQ(env.Process(-0.2), 0.2);
}

TEST(EnvFollower, NonFiniteSamplesDoNotPoisonTheEnvelope) {
  envFollower env;
  env.Setup(0, 1.0, 10.0, 0.0, 48000.0);
  for (int n = 0; n < 1000; ++n) env.Process(0.5);
  env.Process(std::numeric_limits<double>::quiet_NaN());
  env.Process(std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::isfinite(env.mEnvelope));
  for (int n = 0; n < 48000; ++n) env.Process(0.25);
  EXPECT_NEAR(env.mEnvelope, 0.25, 1e-9);
}

}  // namespace
