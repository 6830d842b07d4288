#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "product/Saturate.h"

namespace {

// The shaping curve evaluated in extended precision as an independent reference.
double Reference(double x) {
  const long double k = std::pow(10.0L, -2.25L);
  const long double lx = x;
  const long double x3 = std::pow(lx, 3.0L);
  const long double x4 = std::pow(lx, 4.0L);
  return static_cast<double>(lx + k * (std::sin(x4) - std::tanh(x3) + std::tanh(x4)));
}

TEST(Saturate, KnownPoints) {
  const double k = std::pow(10.0, -2.25);
  EXPECT_EQ(Saturate(0.0), 0.0);
  EXPECT_NEAR(Saturate(1.0), 1.0 + k * std::sin(1.0), 1e-15);
  EXPECT_NEAR(Saturate(1.0), 1.004732, 1e-6);
  EXPECT_NEAR(Saturate(-1.0), -1.0 + k * (std::sin(1.0) + 2.0 * std::tanh(1.0)), 1e-15);
  EXPECT_NEAR(Saturate(-1.0), -0.986703, 1e-6);
}

TEST(Saturate, FollowsTheCurveOverTheSignalRange) {
  const uint32_t seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> dist(-1.5, 1.5);
  for (int n = 0; n < 10000; ++n) {
    const double x = dist(rng);
    ASSERT_NEAR(Saturate(x), Reference(x), 1e-13 * (1.0 + std::fabs(x))) << "x = " << x;
  }
}

TEST(Saturate, SmallSignalsPassAlmostUntouched) {
  // Near zero every added term is of third order or higher.
  for (double x : {1e-3, -1e-3, 1e-6}) EXPECT_NEAR(Saturate(x), x, 1e-8) << x;
}

}  // namespace
