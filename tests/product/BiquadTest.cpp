#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <limits>
#include <numbers>
#include <random>

#include "SineMeasure.h"
#include "product/Biquad.h"

namespace {

using dsptest::MeasureSineGain;
using cplx = std::complex<double>;

// Analog prototypes (corner at 1 rad/s) of each kind; the digital section is their bilinear
// transform with the corner pre-warped, so its response at f equals the prototype's at
// tan(pi f) / tan(pi fc). Shelves and the peak use V/Q where a textbook shelf has sqrt(2V).
double PrototypeMagnitude(int32_t type, double f, double fc, double q, double gainDb) {
  const cplx s(0.0, std::tan(std::numbers::pi * f) / std::tan(std::numbers::pi * fc));
  const double v = std::pow(10.0, std::fabs(gainDb) / 20.0);
  const cplx poles = s * s + s / q + 1.0;
  cplx h;
  switch (type) {
    case kLowpass: h = 1.0 / poles; break;
    case kHighpass: h = s * s / poles; break;
    case kBandpass: h = (s / q) / poles; break;
    case kNotch: h = (s * s + 1.0) / poles; break;
    case kPeak: h = (s * s + s * v / q + 1.0) / poles; break;
    case kLowShelf: h = (s * s + s * v / q + v) / poles; break;
    case kHighShelf: h = (v * s * s + s * v / q + 1.0) / poles; break;
    default: h = 1.0; break;
  }
  const double m = std::abs(h);
  // Cutting is the exact inverse of boosting by the same amount.
  const bool cut = gainDb < 0.0 && (type == kPeak || type == kLowShelf || type == kHighShelf);
  return cut ? 1.0 / m : m;
}

double MeasureGain(Biquad& filter, int cycles, int window, int settle) {
  return MeasureSineGain([&](double x) { return filter.Process(x); }, cycles, window, settle);
}

struct ResponseCase {
  const char* name;
  int32_t type;
  double fcHz, q, gainDb;
};

class BiquadResponse : public ::testing::TestWithParam<ResponseCase> {};

TEST_P(BiquadResponse, MeasuredSinesMatchTheAnalogPrototype) {
  const ResponseCase& c = GetParam();
  constexpr double fs = 48000.0;
  constexpr int window = 4800;  // 10 Hz resolution: every test frequency fits whole cycles
  for (int hz : {50, 200, 700, 1000, 1500, 3000, 8000, 15000, 21000}) {
    Biquad filter;
    filter.SetBiquad(c.type, c.fcHz / fs, c.q, c.gainDb);
    const double measured = MeasureGain(filter, hz / 10, window, 48000);
    const double expected = PrototypeMagnitude(c.type, hz / fs, c.fcHz / fs, c.q, c.gainDb);
    EXPECT_NEAR(measured, expected, 1e-7 + 1e-7 * expected) << c.name << " at " << hz << " Hz";
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllKinds, BiquadResponse,
    ::testing::Values(ResponseCase{"lowpass", kLowpass, 1000.0, 0.707, 0.0},
                      ResponseCase{"highpass", kHighpass, 1000.0, 0.707, 0.0},
                      ResponseCase{"detector highpass", kHighpass, 120.0, 0.707, 0.0},
                      ResponseCase{"bandpass", kBandpass, 1500.0, 2.0, 0.0},
                      ResponseCase{"notch", kNotch, 1500.0, 2.0, 0.0},
                      ResponseCase{"peak boost", kPeak, 1500.0, 0.207, 6.0},
                      ResponseCase{"peak cut", kPeak, 1500.0, 0.207, -9.0},
                      ResponseCase{"input peak", kPeak, 1500.0, 0.107, 0.3},
                      ResponseCase{"low shelf boost", kLowShelf, 500.0, 0.707, 8.0},
                      ResponseCase{"low shelf cut", kLowShelf, 500.0, 0.707, -8.0},
                      ResponseCase{"high shelf boost", kHighShelf, 2000.0, 0.207, 5.0},
                      ResponseCase{"high shelf cut", kHighShelf, 2000.0, 0.207, -12.0}),
    [](const ::testing::TestParamInfo<ResponseCase>& info) {
      std::string name = info.param.name;
      for (char& ch : name)
        if (ch == ' ') ch = '_';
      return name;
    });

TEST(Biquad, PeakAtZeroDecibelsPassesAnySignalUnchanged) {
  const uint32_t seed = std::random_device{}();
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  SCOPED_TRACE("seed " + std::to_string(seed));
  for (double q : {0.107, 0.207, 0.707, 4.0}) {
    Biquad filter;
    filter.SetBiquad(kPeak, 1500.0 / 44100.0, q, 0.0);
    for (int n = 0; n < 20000; ++n) {
      const double x = dist(rng);
      ASSERT_NEAR(filter.Process(x), x, 1e-12) << "Q " << q << " sample " << n;
    }
  }
}

TEST(Biquad, PeakReachesItsGainAtTheCentre) {
  for (double gainDb : {6.0, -6.0, 0.3}) {
    Biquad filter;
    filter.SetBiquad(kPeak, 1500.0 / 48000.0, 0.207, gainDb);
    EXPECT_NEAR(dsptest::ToDb(MeasureGain(filter, 150, 4800, 48000)), gainDb, 1e-6);
  }
}

TEST(Biquad, HighShelfIsUnityAtDcAndFullGainAtNyquist) {
  constexpr double fs = 48000.0;
  for (double gainDb : {6.0, -6.0, 12.0}) {
    Biquad filter;
    filter.SetBiquad(kHighShelf, 20.0 / fs, 0.207, gainDb);
    double y = 0.0;
    for (int n = 0; n < 200000; ++n) y = filter.Process(1.0);
    EXPECT_NEAR(y, 1.0, 1e-9) << gainDb << " dB at DC";

    Biquad nyquist;
    nyquist.SetBiquad(kHighShelf, 20.0 / fs, 0.207, gainDb);
    for (int n = 0; n < 200000; ++n) y = nyquist.Process(n % 2 == 0 ? 1.0 : -1.0);
    EXPECT_NEAR(std::fabs(y), std::pow(10.0, gainDb / 20.0), 1e-9) << gainDb << " dB at Nyquist";

    // A 20 Hz corner leaves nearly the whole audible band at the shelf gain.
    Biquad band;
    band.SetBiquad(kHighShelf, 20.0 / fs, 0.207, gainDb);
    EXPECT_NEAR(dsptest::ToDb(MeasureGain(band, 100, 4800, 96000)), gainDb, 0.05) << "1 kHz";
  }
}

TEST(Biquad, InputHighPassRemovesDcAndKeepsTheBand) {
  constexpr double fs = 48000.0;
  Biquad filter;
  filter.SetBiquad(kHighpass, 10.0 / fs, 0.8, 0.0);
  double y = 1.0;
  for (int n = 0; n < 2 * 48000; ++n) y = filter.Process(1.0);
  EXPECT_LT(std::fabs(y), 1e-9);

  Biquad corner;
  corner.SetBiquad(kHighpass, 10.0 / fs, 0.8, 0.0);
  EXPECT_NEAR(MeasureGain(corner, 10, 48000, 4 * 48000), 0.8, 1e-6) << "a high-pass passes Q at its corner";

  Biquad band;
  band.SetBiquad(kHighpass, 10.0 / fs, 0.8, 0.0);
  EXPECT_NEAR(dsptest::ToDb(MeasureGain(band, 100, 4800, 2 * 48000)), 0.0, 1e-3) << "1 kHz";
}

TEST(Biquad, SingleSettersRecalculate) {
  constexpr double fs = 48000.0;
  Biquad viaSetters;
  viaSetters.SetType(kPeak);
  viaSetters.SetFc(3000.0 / fs);
  viaSetters.SetQ(1.0);
  viaSetters.SetPeakGain(-6.0);
  EXPECT_EQ(viaSetters.Type(), kPeak);
  EXPECT_EQ(viaSetters.Fc(), 3000.0 / fs);
  EXPECT_EQ(viaSetters.Q(), 1.0);
  EXPECT_EQ(viaSetters.PeakGain(), -6.0);
  Biquad direct;
  direct.SetBiquad(kPeak, 3000.0 / fs, 1.0, -6.0);
  for (int n = 0; n < 1000; ++n) {
    const double x = std::sin(0.37 * n) + 0.3 * std::sin(0.05 * n);
    ASSERT_EQ(viaSetters.Process(x), direct.Process(x)) << n;
  }
}

TEST(Biquad, SetBiquadKeepsTheStateAndTheClearingVariantZeroesIt) {
  Biquad keeps;
  Biquad clears;
  for (Biquad* f : {&keeps, &clears}) {
    f->SetBiquad(kLowpass, 0.01, 0.707, 0.0);
    for (int n = 0; n < 100; ++n) f->Process(1.0);
  }
  keeps.SetBiquad(kLowpass, 0.02, 0.707, 0.0);
  clears.SetBiquadAndClear(kLowpass, 0.02, 0.707, 0.0);
  EXPECT_NE(keeps.Process(0.0), 0.0);
  EXPECT_EQ(clears.Process(0.0), 0.0);
  EXPECT_EQ(clears.Process(0.0), 0.0);
}

TEST(Biquad, DefaultSectionPassesTheSignal) {
  Biquad filter;
  EXPECT_EQ(filter.Type(), kLowpass);
  EXPECT_EQ(filter.Fc(), 0.5);
  EXPECT_EQ(filter.Q(), 0.707);
  EXPECT_EQ(filter.PeakGain(), 0.0);
  for (double x : {0.25, -1.0, 3.0}) EXPECT_EQ(filter.Process(x), x);
}

TEST(Biquad, UnknownKindPassesTheSignal) {
  Biquad filter;
  filter.SetBiquad(42, 0.1, 0.707, 3.0);
  for (double x : {0.25, -1.0, 3.0}) EXPECT_EQ(filter.Process(x), x);
}

TEST(Biquad, RecoversFromANonFiniteSample) {
  Biquad filter;
  filter.SetBiquad(kHighpass, 10.0 / 48000.0, 0.8, 0.0);
  filter.Process(std::numeric_limits<double>::quiet_NaN());
  double y = 0.0;
  for (int n = 0; n < 48000; ++n) y = filter.Process(0.0);
  EXPECT_EQ(y, 0.0);
}

}  // namespace
