#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "product/ParamSmoother.h"

namespace {

TEST(ParamSmoother, ConstructionIsATenHertzPoleAt2400Hz) {
  ParamSmoother s;
  const double a = std::exp(-2.0 * std::numbers::pi * 10.0 / 2400.0);
  EXPECT_NEAR(s.A(), a, 1e-15);
  EXPECT_NEAR(s.A(), 0.97416, 1e-5);
  EXPECT_EQ(s.B(), 1.0 - s.A());
  EXPECT_EQ(s.State(), 0.0);
}

TEST(ParamSmoother, StepResponseIsOneMinusAToTheN) {
  for (double fs : {0.0, 44100.0, 48000.0, 192000.0}) {
    ParamSmoother s;
    if (fs > 0.0) s.SetCutoff(fs);
    const double a = fs > 0.0 ? std::exp(-2.0 * std::numbers::pi * 10.0 / fs) : s.A();
    EXPECT_NEAR(s.A(), a, 1e-15) << fs;
    for (int n = 1; n <= 5000; ++n) {
      const double z = s.Process(1.0);
      ASSERT_NEAR(z, 1.0 - std::pow(a, n), 1e-12) << "fs " << fs << " step " << n;
    }
  }
}

TEST(ParamSmoother, SubnormalStatesAreFlushedToZero) {
  ParamSmoother s;
  EXPECT_EQ(s.Process(1e-320), 0.0);
  EXPECT_EQ(s.State(), 0.0);
  EXPECT_GT(s.Process(1e-300), 0.0) << "normal values are kept";

  // Decaying toward zero the state never becomes subnormal and ends exactly at 0.
  ParamSmoother decay;
  decay.SetState(1.0);
  double z = 1.0;
  int steps = 0;
  while (z != 0.0 && steps < 1000000) {
    z = decay.Process(0.0);
    ASSERT_NE(std::fpclassify(z), FP_SUBNORMAL) << "step " << steps;
    ++steps;
  }
  EXPECT_EQ(z, 0.0);
  EXPECT_FALSE(std::signbit(decay.Process(-0.0))) << "negative zero is flushed to +0 too";
}

TEST(ParamSmoother, SetStateJumpsWithoutGliding) {
  ParamSmoother s;
  s.SetCutoff(48000.0);
  s.SetState(-24.0);
  EXPECT_EQ(s.Process(-24.0), -24.0);
}

TEST(ParamSmoother, NonPositiveRateFollowsTheTargetAtOnce) {
  for (double fs : {0.0, -48000.0, std::nan("")}) {
    ParamSmoother s;
    s.SetCutoff(fs);
    EXPECT_EQ(s.A(), 0.0);
    EXPECT_EQ(s.B(), 1.0);
    EXPECT_EQ(s.Process(0.5), 0.5);
  }
}

}  // namespace
