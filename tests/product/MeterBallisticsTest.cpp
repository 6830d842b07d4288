#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "product/MeterBallistics.h"

namespace {

TEST(MeterBallistics, StartsWhereTheOwnerSays) {
  MeterBallistics meter(1.0);
  EXPECT_EQ(meter.State(), 1.0);
  meter.SetState(0.25);
  EXPECT_EQ(meter.State(), 0.25);
}

TEST(MeterBallistics, FallsToOnePercentOfItsAimIn300Milliseconds) {
  constexpr double fs = 48000.0;
  MeterBallistics meter(1.0);
  double v = 1.0;
  for (int n = 0; n < 14400; ++n) v = meter.Process(0.0, fs);
  EXPECT_NEAR(v, 0.01, 1e-9);
}

TEST(MeterBallistics, ConstantHalfRisesPastItThenHoversAtHalf) {
  constexpr double fs = 48000.0;
  MeterBallistics meter(0.0);
  double v = 0.0;
  int n = 0;
  while (v <= 0.5 && n < 100000) {
    v = meter.Process(0.5, fs);
    ++n;
  }
  ASSERT_GT(v, 0.5) << "rising values aim 1.25 % above the input";
  EXPECT_LT(v, 0.50625);
  // Above the input it now aims 1.25 % below, so it turns back at once.
  EXPECT_LT(meter.Process(0.5, fs), v);

  for (int k = 0; k < 48000; ++k) meter.Process(0.5, fs);
  double lo = 1.0;
  double hi = 0.0;
  for (int k = 0; k < 1000; ++k) {
    v = meter.Process(-0.5, fs);  // the meter reads magnitudes
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  EXPECT_LE(lo, 0.5);
  EXPECT_GE(hi, 0.5);
  EXPECT_LT(hi - lo, 1e-5);
}

TEST(MeterBallistics, NonFiniteReadingsAndRatesStayBounded) {
  MeterBallistics meter(0.5);
  meter.Process(std::nan(""), 48000.0);
  EXPECT_TRUE(std::isfinite(meter.State()));
  meter.Process(0.3, 0.0);
  EXPECT_NEAR(meter.State(), 0.3 * 0.9875, 1e-15) << "no rate: jumps to the aim";
  meter.Process(0.3, -1.0);
  EXPECT_TRUE(std::isfinite(meter.State()));
}

}  // namespace
