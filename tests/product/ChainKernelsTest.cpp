#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <cstdio>
#include <limits>
#include <random>
#include <vector>

#include "product/BiquadType.h"
#include "product/ChainKernels.h"
#include "product/MusicSignal.h"
#include "product/Saturate.h"
#include "product/TollenbrookChain.h"
#include "product/envFollower.h"

namespace {

// Distance in units of the last place of the reference.
double Ulps(double got, double want) {
  if (got == want || (std::isnan(got) && std::isnan(want))) return 0.0;
  if (!std::isfinite(got) || !std::isfinite(want)) return INFINITY;
  const double mag = std::fabs(want);
  const double ulp = mag == 0.0 ? std::numeric_limits<double>::denorm_min() : std::nextafter(mag, INFINITY) - mag;
  return std::fabs(got - want) / ulp;
}

// Arguments over every range the waveshaper's evaluation distinguishes, their edges and the
// values a C library treats specially.
std::vector<double> ShaperArguments(uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  std::vector<double> x;
  for (double edge : {1e-8, 0.25, 0.8, 1.0})
    for (double e : {std::nextafter(edge, 0.0), edge, std::nextafter(edge, 2.0)}) x.insert(x.end(), {e, -e});
  const double inf = std::numeric_limits<double>::infinity();
  for (double special : {0.0, -0.0, 1e-320, 1e-15, -1e-15, 3.0, 17.0, 1e6, 1e300, inf, -inf, std::nan("")})
    x.push_back(special);
  // Runs of eight neighbours share a vector, so each range is also met whole.
  for (int k = 0; k < 40000; ++k) {
    const double magnitude = std::exp(std::log(1e-10) + u(rng) * (std::log(4.0) - std::log(1e-10)));
    const double spread = k % 2 == 0 ? 1.0 : 1.0 + 0.01 * u(rng);
    x.push_back((rng() & 1) ? magnitude * spread : -magnitude * spread);
  }
  while (x.size() % 8 != 0) x.push_back(0.5);
  return x;
}

TEST(ChainKernels, EverySetShapesAsTheWaveshaperDoesToTheLastBit) {
  const uint32_t seed = 4321;
  std::printf("seed %u\n", seed);
  const std::vector<double> x = ShaperArguments(seed);
  const SupportedKernelSets sets = SupportedKernels();
  for (int k = 0; k < sets.count; ++k) {
    std::vector<double> y(x.size());
    sets.sets[k]->saturate(x.data(), nullptr, y.data(), static_cast<int>(x.size()));
    double worst = 0.0;
    long identical = 0;
    for (size_t i = 0; i < x.size(); ++i) {
      const double want = Saturate(x[i]);
      const double ulps = Ulps(y[i], want);
      EXPECT_LE(ulps, 1.0) << sets.sets[k]->name << " x = " << x[i];
      EXPECT_EQ(std::signbit(y[i]), std::signbit(want)) << sets.sets[k]->name << " x = " << x[i];
      worst = std::max(worst, ulps);
      identical += ulps == 0.0 ? 1 : 0;
    }
    std::printf("%-6s worst %.0f ulp, %.3f%% identical\n", sets.sets[k]->name, worst,
                100.0 * static_cast<double>(identical) / static_cast<double>(x.size()));
    // The approximation's error is far below the last place: almost every sample is exact.
    EXPECT_GT(identical, static_cast<long>(x.size() * 99 / 100)) << sets.sets[k]->name;
  }
}

TEST(ChainKernels, EverySetGivesTheReleaseCoefficientsOfTheEnvelope) {
  const SupportedKernelSets sets = SupportedKernels();
  std::vector<double> ms;
  for (double t = 1.0; t < 20000.0; t *= 1.013) ms.push_back(t);
  while (ms.size() % 8 != 0) ms.push_back(100.0);
  for (int k = 0; k < sets.count; ++k) {
    for (double fs : {8000.0, 44100.0, 192000.0}) {
      std::vector<double> coefs(ms.size());
      sets.sets[k]->releaseCoefficients(ms.data(), fs, coefs.data(), static_cast<int>(ms.size()));
      for (size_t i = 0; i < ms.size(); ++i)
        ASSERT_LE(Ulps(coefs[i], envFollower::TimeToCoefficient(ms[i], fs)), 1.0)
            << sets.sets[k]->name << " " << ms[i] << " ms at " << fs;
    }
  }
}

// The recursions of every set over chunks of music: the step-by-step sets give the recipe's
// values, the regrouped ones stay within 1e-6 of them and agree with each other bit for bit
// (their recursions are the same operations in the same order, whatever the vector width).
struct RecursionRun {
  std::vector<double> colour[2];
  std::vector<double> envelope[2];
};

RecursionRun RunRecursions(const ChainKernels& set, const chaintest::MusicSignal& music) {
  constexpr double fs = 48000.0;
  Biquad inHighPass, inPeak, detHighPass, detMidPeak, detHighShelf;
  inHighPass.SetBiquad(kHighpass, 10.0 / fs, 0.8, 0.0);
  inPeak.SetBiquad(kPeak, 1500.0 / fs, 0.107, 0.3);
  detHighPass.SetBiquad(kHighpass, 150.0 / fs, 0.707, 0.0);
  detMidPeak.SetBiquad(kPeak, 1500.0 / fs, 0.207, 6.0);
  detHighShelf.SetBiquad(kHighShelf, 150.0 / fs, 0.207, -3.0);
  const BiquadBlockForm blocks[5] = {BlockFormOf(inHighPass.Get()), BlockFormOf(inPeak.Get()),
                                     BlockFormOf(detHighPass.Get()), BlockFormOf(detMidPeak.Get()),
                                     BlockFormOf(detHighShelf.Get())};
  PartialBlock partial[7];
  ColourSections colour{{inHighPass.Get(), inHighPass.Get()}, {inPeak.Get(), inPeak.Get()}, &blocks[0], &blocks[1],
                        {&partial[0], &partial[1]}, {&partial[2], &partial[3]}};
  DetectorSections detector{detHighPass.Get(), detMidPeak.Get(), detHighShelf.Get(), {0.0, 0.0},
                            {envFollower::TimeToCoefficient(10.0, fs), envFollower::TimeToCoefficient(5.0, fs)},
                            &blocks[2], &blocks[3], &blocks[4], {&partial[4], &partial[5], &partial[6]}};
  RecursionRun run;
  const int frames = static_cast<int>(music.left.size());
  for (auto& c : run.colour) c.resize(static_cast<size_t>(frames));
  for (auto& e : run.envelope) e.resize(static_cast<size_t>(frames));
  std::vector<double> inL(136), inR(136), comp(136), lim(136), compRelease(136), limRelease(136);
  // Chunks of every length up to 128, so whole blocks of eight and the frames after them mix.
  for (int pos = 0, n = 1; pos < frames; pos += n, n = n % 128 + 7) {
    n = std::min(n, frames - pos);
    for (int i = 0; i < n; ++i) {
      const auto k = static_cast<size_t>(pos + i);
      inL[static_cast<size_t>(i)] = static_cast<float>(music.left[k]);
      inR[static_cast<size_t>(i)] = static_cast<float>(music.right[k]);
      comp[static_cast<size_t>(i)] = static_cast<float>(0.5 * (music.left[k] + music.right[k]));
      lim[static_cast<size_t>(i)] = std::fabs(std::max(music.left[k], music.right[k]));
      compRelease[static_cast<size_t>(i)] = envFollower::TimeToCoefficient(100.0 + 0.01 * static_cast<double>(k), fs);
      limRelease[static_cast<size_t>(i)] = envFollower::TimeToCoefficient(50.0, fs);
    }
    Needles none{nullptr, nullptr, 0, {0.0, 0.0}, 0.0};
    set.colour(inL.data(), inR.data(), colour, run.colour[0].data() + pos, run.colour[1].data() + pos, n, 2, none);
    set.detectorEnvelopes(comp.data(), lim.data(), detector, compRelease.data(), limRelease.data(),
                          run.envelope[0].data() + pos, run.envelope[1].data() + pos, n, none);
  }
  return run;
}

TEST(ChainKernels, RegroupedRecursionsStayWithinAMillionthAndAgreeWithEachOther) {
  const chaintest::MusicSignal music(48000, 11, 2.0);  // into both sections
  const SupportedKernelSets sets = SupportedKernels();
  ASSERT_TRUE(sets.sets[0]->stepByStep);
  const RecursionRun recipe = RunRecursions(*sets.sets[0], music);
  const RecursionRun* firstRegrouped = nullptr;
  std::vector<RecursionRun> runs;
  runs.reserve(3);
  for (int k = 1; k < sets.count; ++k) {
    runs.push_back(RunRecursions(*sets.sets[k], music));
    const RecursionRun& run = runs.back();
    double worst = 0.0;
    long unlike = 0;
    for (int a = 0; a < 2; ++a)
      for (size_t i = 0; i < music.left.size(); ++i) {
        worst = std::max({worst, std::fabs(run.colour[a][i] - recipe.colour[a][i]),
                          std::fabs(run.envelope[a][i] - recipe.envelope[a][i])});
        if (!sets.sets[k]->stepByStep && firstRegrouped != nullptr)
          unlike += run.colour[a][i] != firstRegrouped->colour[a][i] || run.envelope[a][i] != firstRegrouped->envelope[a][i];
      }
    std::printf("%-6s largest difference from the recipe %.3g\n", sets.sets[k]->name, worst);
    EXPECT_LE(worst, sets.sets[k]->stepByStep ? 0.0 : 1e-6) << sets.sets[k]->name;
    EXPECT_EQ(unlike, 0) << sets.sets[k]->name;
    if (!sets.sets[k]->stepByStep && firstRegrouped == nullptr) firstRegrouped = &run;
  }
}

// The plug-in takes the fastest set unless a cap holds it lower; the baseline is always there.
TEST(ChainKernels, TheFastestSupportedSetIsTakenUnlessCapped) {
  const SupportedKernelSets sets = SupportedKernels();
  ASSERT_GE(sets.count, 1);
  EXPECT_EQ(sets.sets[0], &BaselineKernels());
  EXPECT_EQ(&FastestKernels(), sets.sets[sets.count - 1]);
  for (int k = 0; k < sets.count; ++k) {
    CapKernels(sets.sets[k]);
    EXPECT_EQ(&FastestKernels(), sets.sets[k]);
    EXPECT_EQ(&std::make_unique<TollenbrookChain>()->Kernels(), sets.sets[k]);
  }
  CapKernels(nullptr);
  EXPECT_EQ(&FastestKernels(), sets.sets[sets.count - 1]);
  std::printf("sets:");
  for (int k = 0; k < sets.count; ++k) std::printf(" %s", sets.sets[k]->name);
  std::printf("\n");
}

}  // namespace
