#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <cstdlib>
#include <vector>

#include "product/TollenbrookChain.h"
#include "product/PlainChain.h"
#include "product/ChainTestSupport.h"
#include "product/MusicSignal.h"

using namespace chaintest;

namespace {

constexpr double kTolerance = 1e-7;

struct Comparison {
  double maxDiff = 0.0;
  long samples = 0;
  long identical = 0;
  double maxMeterDiff = 0.0;
  long settingMismatches = 0;
  void Add(double a, double b) {
    ++samples;
    if (a == b || (std::isnan(a) && std::isnan(b))) {
      ++identical;
      return;
    }
    maxDiff = std::max(maxDiff, std::isfinite(a - b) ? std::fabs(a - b) : INFINITY);
  }
};

// Runs both chains over the same input with settings and block sizes chosen per block.
// resetAt(block) asks for a reset before that block.
template <class SettingsAt, class BlockAt, class ResetAt>
Comparison RunBoth(StereoRun& fast, StereoRun& plainRun, double fs, const ChainSettings& resetSettings,
                   SettingsAt settingsAt, BlockAt blockAt, ResetAt resetAt) {
  auto chain = std::make_unique<TollenbrookChain>();
  auto plain = std::make_unique<PlainChain>();
  chain->Reset(fs, resetSettings);
  plain->Reset(fs, resetSettings);
  Comparison cmp;
  int block = 0;
  for (int pos = 0; pos < fast.Frames(); ++block) {
    const int n = std::min(blockAt(block), fast.Frames() - pos);
    const ChainSettings s = settingsAt(block, pos);
    if (resetAt(block)) {
      chain->Reset(fs, s);
      plain->Reset(fs, s);
    }
    auto in = fast.Inputs(pos);
    auto out = fast.Outputs(pos);
    chain->Process(in.data(), out.data(), n, fs, s);
    auto pin = plainRun.Inputs(pos);
    auto pout = plainRun.Outputs(pos);
    plain->Process(pin.data(), pout.data(), n, fs, s);
    cmp.maxMeterDiff = std::max({cmp.maxMeterDiff, std::fabs(chain->LastBlock().limiterMeter - plain->limiterValue),
                                 std::fabs(chain->LastBlock().compMeter - plain->compValue),
                                 std::fabs(chain->LastBlock().compMinGainDb - plain->compMinGainDb) * 1e-3,
                                 std::fabs(chain->LastBlock().limiterMinGainDb - plain->limiterMinGainDb) * 1e-3,
                                 std::fabs(chain->CompRecoveryMs() - plain->CompRecoveryMs()) * 1e-4,
                                 std::fabs(chain->LevelRecoveryMs() - plain->LevelRecoveryMs()) * 1e-4,
                                 std::fabs(chain->Compressor().mEnvelope - plain->Compressor().mEnvelope),
                                 std::fabs(chain->Limiter().mEnvelope - plain->Limiter().mEnvelope)});
    if (chain->Compressor().mRatio != plain->Compressor().mRatio ||
        chain->Compressor().mThreshold != plain->Compressor().mThreshold ||
        chain->Limiter().mThreshold != plain->Limiter().mThreshold ||
        chain->Compressor().mReleaseCoef != plain->Compressor().mReleaseCoef)
      ++cmp.settingMismatches;
    pos += n;
  }
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < fast.Frames(); ++i) cmp.Add(fast.out[c][static_cast<size_t>(i)], plainRun.out[c][static_cast<size_t>(i)]);
  return cmp;
}

StereoRun MakeInput(int frames, uint32_t seed, bool sidechain) {
  StereoRun run(frames);
  MusicSignal main(frames, seed);
  run.in[0] = main.left;
  run.in[1] = main.right;
  if (sidechain) {
    MusicSignal sc(frames, seed + 1, 0.7);
    run.in[2] = sc.left;
    run.in[3] = sc.right;
  }
  return run;
}

TEST(ChainAgreement, EveryValueOfEveryParameter) {
  const uint32_t seed = 1234;
  std::printf("seed %u\n", seed);
  double worst = 0.0;
  long identical = 0;
  long samples = 0;
  for (int over = 0; over <= 1; ++over) {
    for (int p = 0; p < kNumParams; ++p) {
      if (p == kParamLimiterMeter || p == kParamCompMeter || p == kParamOversample) continue;
      for (int v = 0; v <= kMaxValues[static_cast<size_t>(p)]; ++v) {
        ParamValues values = kDefaultValues;
        values[static_cast<size_t>(p)] = v;
        values[kParamOversample] = over;
        const ChainSettings s = SettingsFor(values);
        StereoRun fast = MakeInput(6000, seed + static_cast<uint32_t>(p), true);
        StereoRun plain = fast;
        const Comparison cmp = RunBoth(fast, plain, 48000.0, s, [&](int, int) { return s; },
                                       [](int b) { return 1 + (b * 797) % 1500; }, [](int) { return false; });
        EXPECT_LE(cmp.maxDiff, kTolerance) << "parameter " << p << " value " << v << " oversampling " << over;
        EXPECT_LE(cmp.maxMeterDiff, kTolerance) << "parameter " << p << " value " << v;
        worst = std::max(worst, cmp.maxDiff);
        identical += cmp.identical;
        samples += cmp.samples;
      }
    }
  }
  std::printf("largest difference %.3g, %.2f%% of samples identical\n", worst, 100.0 * identical / samples);
}

// Settings that change between blocks of random sizes from 1 to 4096 frames, at several
// sample rates, with resets mid-stream: glides of every smoother, section settings changing
// while the envelopes run, oversampling and bypass switched on the fly.
TEST(ChainAgreement, RandomStreamsWithChangesMidStream) {
  const uint32_t seed = static_cast<uint32_t>(std::random_device{}());
  std::printf("seed %u (set CHAIN_SEED to replay)\n", seed);
  const char* replay = std::getenv("CHAIN_SEED");
  std::mt19937 rng(replay != nullptr ? static_cast<uint32_t>(std::strtoul(replay, nullptr, 10)) : seed);
  const double rates[] = {44100.0, 48000.0, 96000.0, 192000.0};
  for (int stream = 0; stream < 12; ++stream) {
    const double fs = rates[stream % 4];
    std::vector<ChainSettings> settings;
    std::vector<int> sizes;
    std::vector<bool> resets;
    ParamValues values = kDefaultValues;
    for (int b = 0; b < 64; ++b) {
      const int changes = std::uniform_int_distribution<int>(0, 3)(rng);
      for (int c = 0; c < changes; ++c) {
        const int p = std::uniform_int_distribution<int>(0, kNumParams - 1)(rng);
        values[static_cast<size_t>(p)] =
            std::uniform_int_distribution<int>(0, kMaxValues[static_cast<size_t>(p)])(rng);
      }
      settings.push_back(SettingsFor(values));
      const int kind = std::uniform_int_distribution<int>(0, 9)(rng);
      sizes.push_back(kind == 0 ? 1 : kind == 1 ? 4096 : std::uniform_int_distribution<int>(1, 1200)(rng));
      resets.push_back(b > 0 && std::uniform_int_distribution<int>(0, 40)(rng) == 0);
    }
    const uint32_t signalSeed = static_cast<uint32_t>(rng());
    StereoRun fast = MakeInput(40000, signalSeed, true);
    // Some streams run hot, into both sections.
    if (stream % 3 == 0)
      for (auto& ch : fast.in) for (double& x : ch) x *= 3.0;
    StereoRun plain = fast;
    const Comparison cmp = RunBoth(
        fast, plain, fs, settings[0], [&](int b, int) { return settings[static_cast<size_t>(b % 64)]; },
        [&](int b) { return sizes[static_cast<size_t>(b % 64)]; }, [&](int b) { return resets[static_cast<size_t>(b % 64)]; });
    EXPECT_LE(cmp.maxDiff, kTolerance) << "stream " << stream;
    EXPECT_LE(cmp.maxMeterDiff, kTolerance) << "stream " << stream;
    EXPECT_EQ(cmp.settingMismatches, 0) << "stream " << stream;
    std::printf("stream %2d fs %6.0f: largest difference %.3g, %.2f%% identical\n", stream, fs, cmp.maxDiff,
                100.0 * cmp.identical / cmp.samples);
  }
}

// The AVX2 build of the batch loops must not change a single bit.
TEST(ChainAgreement, Avx2AndBaselineBuildsAreBitIdentical) {
  const ChainKernels* avx2 = Avx2Kernels();
  if (avx2 == nullptr) GTEST_SKIP() << "no AVX2 on this processor";
  for (int over = 0; over <= 1; ++over) {
    for (int autoRec = 0; autoRec <= 1; ++autoRec) {
      ParamValues values = kDefaultValues;
      values[kParamOversample] = over;
      values[kParamCompThreshold] = 4;
      values[kParamLimitLevel] = 3;
      values[kParamCompRecovery] = autoRec ? 5 : 0;
      values[kParamLevelRecovery] = autoRec ? 4 : 2;
      const ChainSettings s = SettingsFor(values);
      StereoRun a = MakeInput(20000, 77, false);
      StereoRun b = a;
      auto fast = std::make_unique<TollenbrookChain>(*avx2);
      auto base = std::make_unique<TollenbrookChain>(BaselineKernels());
      fast->Reset(48000.0, s);
      base->Reset(48000.0, s);
      for (int pos = 0, k = 0; pos < a.Frames(); ++k) {
        const int n = std::min(1 + (k * 389) % 700, a.Frames() - pos);
        ChainSettings t = s;
        if (k == 10) t.thresholdTarget = -20.0;  // a glide on the way
        auto ia = a.Inputs(pos);
        auto oa = a.Outputs(pos);
        auto ib = b.Inputs(pos);
        auto ob = b.Outputs(pos);
        fast->Process(ia.data(), oa.data(), n, 48000.0, t);
        base->Process(ib.data(), ob.data(), n, 48000.0, t);
        pos += n;
      }
      for (int c = 0; c < 2; ++c) ASSERT_EQ(a.out[c], b.out[c]) << "oversampling " << over << " auto " << autoRec;
    }
  }
}

}  // namespace
