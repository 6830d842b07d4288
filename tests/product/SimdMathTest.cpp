#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include "product/SimdMath.h"

namespace {

using simd::vd;

// Distance in units of the last place of the reference value. Only glibc's sin is accurate near
// the zeros of large arguments; elsewhere the C library is trusted to 2^-52 absolute there.
double Ulps(double got, double want) {
  if (got == want || (std::isnan(got) && std::isnan(want))) return 0.0;
  if (!std::isfinite(got) || !std::isfinite(want)) return INFINITY;
  const double mag = std::fabs(want);
  const double ulp = mag == 0.0 ? std::numeric_limits<double>::denorm_min()
                                : std::nextafter(mag, INFINITY) - mag;
  return std::fabs(got - want) / ulp;
}

template <class Vec, class Ref>
double WorstUlps(Vec vec, Ref ref, double lo, double hi, bool logarithmic, uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  double worst = 0.0;
  for (int k = 0; k < 200000; k += simd::kLanes) {
    double x[simd::kLanes];
    for (double& v : x) {
      v = logarithmic ? std::exp(std::log(lo) + u(rng) * (std::log(hi) - std::log(lo))) : lo + u(rng) * (hi - lo);
      if (lo < 0.0 && (rng() & 1)) v = -v;
    }
    const vd y = vec(simd::Load(x));
    for (int i = 0; i < simd::kLanes; ++i) worst = std::max(worst, Ulps(y[i], ref(x[i])));
  }
  return worst;
}

TEST(SimdMath, ElementaryFunctionsStayWithinTwoUlpsOfTheCLibrary) {
  const uint64_t seed = 20260101;
  std::printf("seed %llu\n", static_cast<unsigned long long>(seed));
  const auto sinV = [](vd v) { return simd::Sin(v); };
  const auto sinR = [](double x) { return std::sin(x); };
  EXPECT_LE(WorstUlps(sinV, sinR, 1e-30, 0.78, true, seed), 2.0);
#if defined(__GLIBC__)
  EXPECT_LE(WorstUlps(sinV, sinR, 0.0, 20.0, false, seed), 2.0);
  EXPECT_LE(WorstUlps(sinV, sinR, 20.0, 9e4, true, seed), 2.0);
#else
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> u(0.0, 9e4);
  double worst = 0.0;
  for (int k = 0; k < 100000; ++k) {
    const double x = u(rng);
    worst = std::max(worst, std::fabs(simd::Sin(simd::Splat(x))[0] - std::sin(x)));
  }
  EXPECT_LE(worst, 4.5e-16);
#endif
  EXPECT_LE(WorstUlps(sinV, sinR, 1e5, 1e300, true, seed), 0.0);  // handed to the C library
  const auto tanhV = [](vd v) { return simd::Tanh(v); };
  const auto tanhR = [](double x) { return std::tanh(x); };
  EXPECT_LE(WorstUlps(tanhV, tanhR, 1e-300, 0.625, true, seed), 2.0);
  EXPECT_LE(WorstUlps(tanhV, tanhR, -4.0, 4.0, false, seed), 2.0);
  EXPECT_LE(WorstUlps(tanhV, tanhR, 0.5, 40.0, true, seed), 2.0);
  const auto expV = [](vd v) { return simd::Exp(v); };
  const auto expR = [](double x) { return std::exp(x); };
  EXPECT_LE(WorstUlps(expV, expR, -745.0, 709.0, false, seed), 2.0);
  EXPECT_LE(WorstUlps(expV, expR, -1e-3, 1e-3, false, seed), 2.0);
  const auto logV = [](vd v) { return simd::Log(v); };
  const auto logR = [](double x) { return std::log(x); };
  EXPECT_LE(WorstUlps(logV, logR, 1e-320, 1e300, true, seed), 2.0);
  EXPECT_LE(WorstUlps(logV, logR, 0.5, 2.0, false, seed), 2.0);
}

TEST(SimdMath, SpecialArgumentsGiveTheCLibraryResults) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double x : {0.0, -0.0, inf, -inf, nan, 1e-310, -1e-310, 0x1p-1022, 1e308, -1e308}) {
    const vd v = simd::Splat(x);
    EXPECT_EQ(Ulps(simd::Sin(v)[0], std::sin(x)), 0.0) << x;
    EXPECT_EQ(Ulps(simd::Tanh(v)[0], std::tanh(x)), 0.0) << x;
    EXPECT_LE(Ulps(simd::Exp(v)[0], std::exp(x)), 1.0) << x;
    EXPECT_LE(Ulps(simd::Log(v)[0], std::log(x)), 1.0) << x;
  }
  // Exact values the chain relies on: no gain change at 0 dB, silence at minus infinity.
  EXPECT_EQ(simd::Exp(simd::Splat(0.0))[0], 1.0);
  EXPECT_EQ(simd::Exp(simd::Splat(-inf))[0], 0.0);
  EXPECT_EQ(simd::Log(simd::Splat(0.0))[0], -inf);
}

TEST(SimdMath, RoundToSingleMatchesAFloatConversion) {
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> u(-2.0, 2.0);
  for (int k = 0; k < 10000; ++k) {
    const double x[2] = {u(rng) * std::pow(10.0, u(rng) * 20), u(rng)};
    const vd y = simd::RoundToSingle(simd::Load(x));
    for (int i = 0; i < 2; ++i) EXPECT_EQ(y[i], static_cast<double>(static_cast<float>(x[i])));
  }
}

}  // namespace
