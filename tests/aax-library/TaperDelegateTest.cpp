#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "aax-library/AAX_CBinaryTaperDelegate.h"
#include "aax-library/AAX_CLinearTaperDelegate.h"

namespace {
// Independent reference: the integer nearest to x within [low, high], halves going up.
int32_t NearestInteger(double x, int32_t low, int32_t high) {
  int32_t best = low;
  for (int32_t k = low; k <= high; ++k) {
    const double d = std::fabs(k - x), bestD = std::fabs(best - x);
    if (d < bestD || (d == bestD && k > best)) best = k;
  }
  return best;
}
}  // namespace

TEST(LinearTaper, FiguresOfAFourStepRange) {
  const AAX_CLinearTaperDelegate<int32_t, 1> taper(0, 3);
  EXPECT_EQ(taper.NormalizedToReal(0.5), 2);  // floor(1.5 + 0.5)
  EXPECT_NEAR(taper.RealToNormalized(2), 2.0 / 3.0, 1e-12);
  EXPECT_NEAR(taper.RealToNormalized(2), 0.6667, 5e-5);
  EXPECT_EQ(taper.NormalizedToReal(0.0), 0);
  EXPECT_EQ(taper.NormalizedToReal(1.0), 3);
  EXPECT_EQ(taper.ConstrainRealValue(7), 3);
  EXPECT_EQ(taper.ConstrainRealValue(-2), 0);
  EXPECT_EQ(taper.GetMinimumValue(), 0);
  EXPECT_EQ(taper.GetMaximumValue(), 3);
}

TEST(LinearTaper, ReversedRangeStillClampsToItsBounds) {
  const AAX_CLinearTaperDelegate<int32_t, 1> taper(3, 0);
  EXPECT_EQ(taper.ConstrainRealValue(9), 3);
  EXPECT_EQ(taper.ConstrainRealValue(-9), 0);
  EXPECT_EQ(taper.NormalizedToReal(0.0), 3);
  EXPECT_EQ(taper.NormalizedToReal(1.0), 0);
  EXPECT_NEAR(taper.RealToNormalized(0), 1.0, 1e-12);
  EXPECT_NEAR(taper.RealToNormalized(3), 0.0, 1e-12);
}

TEST(LinearTaper, EqualBoundsConstrainToTheBoundAtHalf) {
  const AAX_CLinearTaperDelegate<int32_t, 1> taper(4, 4);
  for (int32_t v : {-100, 0, 4, 5, 100}) {
    EXPECT_EQ(taper.ConstrainRealValue(v), 4);
    EXPECT_EQ(taper.RealToNormalized(v), 0.5);
  }
  EXPECT_EQ(taper.NormalizedToReal(0.9), 4);
}

TEST(LinearTaper, MatchesNearestIntegerAcrossRanges) {
  const std::pair<int32_t, int32_t> ranges[] = {{0, 1}, {0, 3}, {-5, 5}, {2, 17}, {10, -10}, {-3, -1}};
  for (const auto& [minValue, maxValue] : ranges) {
    const AAX_CLinearTaperDelegate<int32_t, 1> taper(minValue, maxValue);
    const int32_t low = std::min(minValue, maxValue), high = std::max(minValue, maxValue);
    for (int i = 0; i <= 1000; ++i) {
      const double n = i / 1000.0;
      const double x = minValue + (maxValue - minValue) * n;
      ASSERT_EQ(taper.NormalizedToReal(n), NearestInteger(x, low, high)) << minValue << ".." << maxValue << " n=" << n;
    }
    for (int32_t k = low; k <= high; ++k) {
      ASSERT_EQ(taper.NormalizedToReal(taper.RealToNormalized(k)), k) << minValue << ".." << maxValue;
    }
  }
}

TEST(LinearTaper, DoubleValuesRoundToThePrecision) {
  const AAX_CLinearTaperDelegate<double, 1000> taper(-10.0, 10.0);
  EXPECT_DOUBLE_EQ(taper.ConstrainRealValue(1.23456), 1.235);
  EXPECT_DOUBLE_EQ(taper.NormalizedToReal(0.5), 0.0);
  EXPECT_DOUBLE_EQ(taper.NormalizedToReal(0.75), 5.0);
  EXPECT_DOUBLE_EQ(taper.RealToNormalized(5.0), 0.75);
  const AAX_CLinearTaperDelegate<double, 0> exact(0.0, 1.0);
  EXPECT_DOUBLE_EQ(exact.ConstrainRealValue(0.123456789), 0.123456789);
}

TEST(LinearTaper, NotANumberLandsOnTheLowerBound) {
  const AAX_CLinearTaperDelegate<int32_t, 1> taper(-2, 6);
  EXPECT_EQ(taper.NormalizedToReal(std::numeric_limits<double>::quiet_NaN()), -2);
  EXPECT_EQ(taper.NormalizedToReal(std::numeric_limits<double>::infinity()), 6);
  EXPECT_EQ(taper.NormalizedToReal(-std::numeric_limits<double>::infinity()), -2);
}

TEST(LinearTaper, CloneIsIndependent) {
  auto* original = new AAX_CLinearTaperDelegate<int32_t, 1>(1, 9);
  std::unique_ptr<AAX_ITaperDelegate<int32_t>> clone(original->Clone());
  delete original;
  EXPECT_EQ(clone->GetMinimumValue(), 1);
  EXPECT_EQ(clone->GetMaximumValue(), 9);
}

TEST(BinaryTaper, AnyPositiveNormalizedValueIsOn) {
  const AAX_CBinaryTaperDelegate<bool> taper;
  EXPECT_TRUE(taper.NormalizedToReal(0.0001));
  EXPECT_TRUE(taper.NormalizedToReal(1.0));
  EXPECT_FALSE(taper.NormalizedToReal(0.0));
  EXPECT_FALSE(taper.NormalizedToReal(-0.5));
  EXPECT_EQ(taper.RealToNormalized(true), 1.0);
  EXPECT_EQ(taper.RealToNormalized(false), 0.0);
  EXPECT_TRUE(taper.GetMaximumValue());
  EXPECT_FALSE(taper.GetMinimumValue());
  EXPECT_TRUE(taper.ConstrainRealValue(true));
  EXPECT_FALSE(taper.ConstrainRealValue(false));
}
