#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "SineMeasure.h"
#include "product/HalfbandFilter.h"

namespace {

using dsptest::MeasureSineGain;
using dsptest::ToDb;

// The full 129-tap impulse response, laid out tap by tap.
std::array<double, 129> ExpectedTaps() {
  const double odd[32] = {-0.000005, 0.000012,  -0.000025, 0.000045,  -0.000075, 0.000118,  -0.00018,
                          0.000264,  -0.000377, 0.000524,  -0.000713, 0.000954,  -0.001255, 0.001627,
                          -0.002082, 0.002635,  -0.003301, 0.004099,  -0.005051, 0.006187,  -0.007542,
                          0.009163,  -0.011119, 0.013505,  -0.01647,  0.020254,  -0.025272, 0.032309,
                          -0.043056, 0.061915,  -0.105047, 0.317956};
  std::array<double, 129> h{};
  for (int i = 0; i < 32; ++i) {
    h[2 * i + 1] = odd[i];
    h[127 - 2 * i] = odd[i];
  }
  h[64] = 0.5;
  return h;
}

double MeasureGain(HalfbandFilter& filter, double cyclesPerSample) {
  constexpr int window = 8192;
  const int cycles = static_cast<int>(std::lround(cyclesPerSample * window));
  return MeasureSineGain([&](double x) { return filter.Process(x); }, cycles, window, 256);
}

TEST(HalfbandFilter, ImpulseResponseIsTheTapsInOrder) {
  const auto h = ExpectedTaps();
  HalfbandFilter filter;
  for (int n = 0; n < 129 + 20; ++n) {
    const double y = filter.Process(n == 0 ? 1.0 : 0.0);
    const double expected = n < 129 ? h[n] : 0.0;
    // Apart from the alternating 1e-15 terms that ride along in the history.
    EXPECT_NEAR(y, expected, 1e-14) << "call " << n;
  }
}

TEST(HalfbandFilter, MatchesADirectConvolutionOfTheOffsetInput) {
  const auto h = ExpectedTaps();
  const uint32_t seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  HalfbandFilter filter;
  std::vector<double> stored;
  double offset = 1e-15;
  for (int n = 0; n < 2000; ++n) {
    const double x = dist(rng);
    offset = -offset;
    stored.push_back(x + offset);
    double y = 0.0;
    for (int k = 0; k < 129 && k <= n; ++k) y += h[k] * stored[static_cast<size_t>(n - k)];
    ASSERT_NEAR(filter.Process(x), y - offset, 1e-14) << "sample " << n;
  }
}

TEST(HalfbandFilter, OffsetAlternatesFromTheFirstCallAndSurvivesClear) {
  HalfbandFilter filter;
  EXPECT_EQ(filter.DenormalOffset(), 1e-15);
  filter.Process(0.0);
  EXPECT_EQ(filter.DenormalOffset(), -1e-15);
  filter.Process(0.0);
  EXPECT_EQ(filter.DenormalOffset(), 1e-15);
  filter.Process(0.0);
  filter.Clear();
  EXPECT_EQ(filter.DenormalOffset(), -1e-15);
}

TEST(HalfbandFilter, ClearForgetsTheHistory) {
  HalfbandFilter filter;
  for (int n = 0; n < 500; ++n) filter.Process(std::sin(0.1 * n));
  filter.Clear();
  for (int n = 0; n < 200; ++n) EXPECT_LT(std::fabs(filter.Process(0.0)), 1e-14) << n;
}

TEST(HalfbandFilter, PassBandIsFlatToPoint23) {
  for (double f = 0.005; f <= 0.2301; f += 0.005) {
    HalfbandFilter filter;
    const double db = ToDb(MeasureGain(filter, f));
    EXPECT_LT(std::fabs(db), 0.02) << "at " << f << " of the rate";
  }
}

TEST(HalfbandFilter, HalfGainAtAQuarterOfTheRate) {
  HalfbandFilter filter;
  EXPECT_NEAR(ToDb(MeasureGain(filter, 0.25)), -6.02, 0.01);
}

TEST(HalfbandFilter, StopBandIsMoreThan100DecibelsDownFromPoint3) {
  double worst = -1000.0;
  for (double f = 0.3; f <= 0.4951; f += 0.0025) {
    HalfbandFilter filter;
    const double db = ToDb(MeasureGain(filter, f));
    worst = std::max(worst, db);
    EXPECT_LT(db, -100.0) << "at " << f << " of the rate";
  }
  RecordProperty("worst_stop_band_db", std::to_string(worst));
}

TEST(HalfbandFilter, DcGain) {
  HalfbandFilter filter;
  double y = 0.0;
  for (int n = 0; n < 300; ++n) y = filter.Process(1.0);
  EXPECT_NEAR(y, 0.999994, 1e-12);
}

}  // namespace
