#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
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

// Absolute, on output samples of full-scale programme material, and on meters and envelopes:
// sets that run the recursions step by step agree to the last bits, the regrouped ones within
// -120 dBFS (a needle value within 1e-6 is within 0.001 dB up to 99 % of the signal removed).
constexpr double kStepByStepTolerance = 1e-12;
constexpr double kRegroupedTolerance = 1e-6;

double ToleranceOf(int k) {
  return SupportedKernels().sets[k]->stepByStep ? kStepByStepTolerance : kRegroupedTolerance;
}

struct Comparison {
  double maxDiff = 0.0;
  long samples = 0;
  long identical = 0;
  double maxMeterDiff = 0.0;
  long settingMismatches = 0;
  // Samples that differ from the first regrouped set's: the batch loops choose their
  // polynomials per vector, so sets of different widths may part in the last bit.
  long unlikeOtherRegrouped = 0;
  void Add(double a, double b) {
    ++samples;
    if (a == b || (std::isnan(a) && std::isnan(b))) {
      ++identical;
      return;
    }
    maxDiff = std::max(maxDiff, std::isfinite(a - b) ? std::fabs(a - b) : INFINITY);
  }
};

// One optimised chain of a kernel set beside the plain evaluation.
struct Candidate {
  explicit Candidate(const ChainKernels& kernels, int frames)
      : chain(std::make_unique<TollenbrookChain>(kernels)), run(frames) {}
  std::unique_ptr<TollenbrookChain> chain;
  StereoRun run;
  Comparison cmp;
};

// The needles a block hands over are those after the previous block's last frame.
struct Needles {
  double limiter;
  double comp;
};

void CompareState(Candidate& c, const PlainChain& plain, const Needles& handedOver) {
  const TollenbrookChain& chain = *c.chain;
  c.cmp.maxMeterDiff = std::max({c.cmp.maxMeterDiff, std::fabs(chain.LastBlock().limiterMeter - handedOver.limiter),
                                 std::fabs(chain.LastBlock().compMeter - handedOver.comp),
                                 std::fabs(chain.LastBlock().compMinGainDb - plain.compMinGainDb) * 1e-3,
                                 std::fabs(chain.LastBlock().limiterMinGainDb - plain.limiterMinGainDb) * 1e-3,
                                 std::fabs(chain.CompRecoveryMs() - plain.CompRecoveryMs()) * 1e-4,
                                 std::fabs(chain.LevelRecoveryMs() - plain.LevelRecoveryMs()) * 1e-4,
                                 std::fabs(chain.Compressor().mEnvelope - plain.Compressor().mEnvelope),
                                 std::fabs(chain.Limiter().mEnvelope - plain.Limiter().mEnvelope),
                                 std::fabs(chain.Compressor().mReleaseCoef - plain.Compressor().mReleaseCoef),
                                 std::fabs(chain.Limiter().mReleaseCoef - plain.Limiter().mReleaseCoef)});
  // The section settings come from the smoothers alone: they match exactly.
  if (chain.Compressor().mRatio != plain.Compressor().mRatio ||
      chain.Compressor().mThreshold != plain.Compressor().mThreshold ||
      chain.Limiter().mThreshold != plain.Limiter().mThreshold)
    ++c.cmp.settingMismatches;
}

// Runs the plain chain and one chain per kernel set the processor supports over the same input,
// with settings and block sizes chosen per block; resetAt(block) asks for a reset before that
// block. Returns the comparison of each set, in SupportedKernels() order.
template <class SettingsAt, class BlockAt, class ResetAt>
std::vector<Comparison> RunAll(const StereoRun& input, double fs, const ChainSettings& resetSettings,
                               SettingsAt settingsAt, BlockAt blockAt, ResetAt resetAt) {
  const SupportedKernelSets sets = SupportedKernels();
  std::vector<Candidate> candidates;
  for (int k = 0; k < sets.count; ++k) candidates.emplace_back(*sets.sets[k], input.Frames());
  auto plain = std::make_unique<PlainChain>();
  StereoRun plainRun = input;
  plain->Reset(fs, resetSettings);
  for (Candidate& c : candidates) {
    for (int ch = 0; ch < 4; ++ch) c.run.in[ch] = input.in[ch];
    c.chain->Reset(fs, resetSettings);
  }
  int block = 0;
  for (int pos = 0; pos < input.Frames(); ++block) {
    const int n = std::min(blockAt(block), input.Frames() - pos);
    const ChainSettings s = settingsAt(block, pos);
    if (resetAt(block)) {
      plain->Reset(fs, s);
      for (Candidate& c : candidates) c.chain->Reset(fs, s);
    }
    const Needles handedOver{plain->limiterValue, plain->compValue};
    auto pin = plainRun.Inputs(pos);
    auto pout = plainRun.Outputs(pos);
    plain->Process(pin.data(), pout.data(), n, fs, s);
    for (Candidate& c : candidates) {
      auto in = c.run.Inputs(pos);
      auto out = c.run.Outputs(pos);
      c.chain->Process(in.data(), out.data(), n, fs, s);
      CompareState(c, *plain, handedOver);
    }
    pos += n;
  }
  std::vector<Comparison> result;
  const Candidate* firstRegrouped = nullptr;
  for (Candidate& c : candidates) {
    const bool regrouped = !c.chain->Kernels().stepByStep;
    if (regrouped && firstRegrouped == nullptr) firstRegrouped = &c;
    for (int ch = 0; ch < 2; ++ch)
      for (int i = 0; i < input.Frames(); ++i) {
        const double y = c.run.out[ch][static_cast<size_t>(i)];
        c.cmp.Add(y, plainRun.out[ch][static_cast<size_t>(i)]);
        if (regrouped && std::bit_cast<uint64_t>(y) != std::bit_cast<uint64_t>(firstRegrouped->run.out[ch][static_cast<size_t>(i)]))
          ++c.cmp.unlikeOtherRegrouped;
      }
    result.push_back(c.cmp);
  }
  return result;
}

const char* SetName(int k) { return SupportedKernels().sets[k]->name; }

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
  const int sets = SupportedKernels().count;
  std::vector<double> worst(static_cast<size_t>(sets), 0.0), worstMeter(worst);
  std::vector<long> identical(static_cast<size_t>(sets), 0), samples(static_cast<size_t>(sets), 0);
  for (int over = 0; over <= 1; ++over) {
    for (int p = 0; p < kNumParams; ++p) {
      if (p == kParamLimiterMeter || p == kParamCompMeter || p == kParamOversample) continue;
      for (int v = 0; v <= kMaxValues[static_cast<size_t>(p)]; ++v) {
        ParamValues values = kDefaultValues;
        values[static_cast<size_t>(p)] = v;
        values[kParamOversample] = over;
        const ChainSettings s = SettingsFor(values);
        const StereoRun input = MakeInput(6000, seed + static_cast<uint32_t>(p), true);
        const std::vector<Comparison> cmps = RunAll(input, 48000.0, s, [&](int, int) { return s; },
                                                    [](int b) { return 1 + (b * 797) % 1500; }, [](int) { return false; });
        for (int k = 0; k < sets; ++k) {
          const Comparison& cmp = cmps[static_cast<size_t>(k)];
          EXPECT_LE(cmp.maxDiff, ToleranceOf(k)) << SetName(k) << " parameter " << p << " value " << v << " oversampling " << over;
          EXPECT_LE(cmp.maxMeterDiff, ToleranceOf(k)) << SetName(k) << " parameter " << p << " value " << v;
          EXPECT_EQ(cmp.settingMismatches, 0) << SetName(k) << " parameter " << p << " value " << v;
          worst[static_cast<size_t>(k)] = std::max(worst[static_cast<size_t>(k)], cmp.maxDiff);
          worstMeter[static_cast<size_t>(k)] = std::max(worstMeter[static_cast<size_t>(k)], cmp.maxMeterDiff);
          identical[static_cast<size_t>(k)] += cmp.identical;
          samples[static_cast<size_t>(k)] += cmp.samples;
        }
      }
    }
  }
  for (int k = 0; k < sets; ++k)
    std::printf("%-6s largest difference %.3g (meters and states %.3g), %.2f%% of samples identical\n", SetName(k),
                worst[static_cast<size_t>(k)], worstMeter[static_cast<size_t>(k)],
                100.0 * identical[static_cast<size_t>(k)] / samples[static_cast<size_t>(k)]);
}

// The shortcuts the chain takes by the signal itself: a silent right channel (mono insert), a
// silent or mono key, silence before, between and long after music (until the filter states and
// needles come to rest), quiet and subnormal-level passages, and inputs that are huge, infinite
// or not numbers, which take the building blocks' own per-sample calls.
TEST(ChainAgreement, SignalsOfEveryKind) {
  enum Kind { kMono, kKeyMono, kSilenceAround, kQuiet, kSubnormal, kNotFinite, kHugeBurst };
  const struct {
    Kind kind;
    const char* name;
    int frames;
  } cases[] = {{kMono, "mono", 20000},           {kKeyMono, "mono key", 20000}, {kSilenceAround, "silence", 400000},
               {kQuiet, "-60 dBFS", 20000},      {kSubnormal, "subnormal level", 20000},
               {kNotFinite, "not finite", 20000}, {kHugeBurst, "huge burst", 20000}};
  for (const auto& c : cases) {
    StereoRun input = MakeInput(c.frames, 99, true);
    ParamValues values = kDefaultValues;
    values[kParamCompThreshold] = 6;  // both sections at work on music
    const auto scale = [&](double k) {
      for (auto& ch : input.in)
        for (double& x : ch) x = static_cast<float>(x * k);  // as a host's float buffer holds it
    };
    switch (c.kind) {
      case kMono: std::fill(input.in[1].begin(), input.in[1].end(), 0.0); break;
      case kKeyMono:
        values[kParamExtSidechain] = 1;
        std::fill(input.in[3].begin(), input.in[3].end(), 0.0);
        std::fill(input.in[2].begin(), input.in[2].begin() + 8000, 0.0);
        break;
      case kSilenceAround:
        for (auto& ch : input.in) {
          std::fill(ch.begin(), ch.begin() + 5000, 0.0);
          std::fill(ch.begin() + 15000, ch.end(), 0.0);
        }
        break;
      case kQuiet: scale(1e-3); break;
      case kSubnormal: scale(1e-39); break;
      case kNotFinite:
        for (int i = 3000; i < c.frames; i += 3001) {
          const double specials[] = {std::nan(""), INFINITY, -INFINITY, 1e20, -3e38};
          input.in[static_cast<size_t>(i % 2)][static_cast<size_t>(i)] = specials[(i / 3001) % 5];
        }
        break;
      case kHugeBurst:
        // A tone near the largest float at the colour stage's peak frequency leaves filter
        // states that overflow single precision for a while after it.
        for (int i = 4000; i < 5000; ++i)
          for (int ch = 0; ch < 2; ++ch)
            input.in[static_cast<size_t>(ch)][static_cast<size_t>(i)] = 3.3e38 * std::sin(2.0 * 3.14159265358979 * 1500.0 * i / 48000.0);
        break;
    }
    const ChainSettings s = SettingsFor(values);
    std::mt19937 rng(7);
    std::vector<int> sizes;
    for (int b = 0; b < 64; ++b) sizes.push_back(std::uniform_int_distribution<int>(1, 2048)(rng));
    // At 8 kHz the needles and the input filters come to rest within 50 s of silence.
    const double fs = c.kind == kSilenceAround ? 8000.0 : 48000.0;
    const std::vector<Comparison> cmps = RunAll(input, fs, s, [&](int, int) { return s; },
                                                [&](int b) { return c.kind == kSilenceAround ? 4096 : sizes[static_cast<size_t>(b % 64)]; },
                                                [](int) { return false; });
    for (int k = 0; k < static_cast<int>(cmps.size()); ++k) {
      const Comparison& cmp = cmps[static_cast<size_t>(k)];
      EXPECT_LE(cmp.maxDiff, ToleranceOf(k)) << SetName(k) << " " << c.name;
      EXPECT_LE(cmp.maxMeterDiff, ToleranceOf(k)) << SetName(k) << " " << c.name;
      EXPECT_EQ(cmp.settingMismatches, 0) << SetName(k) << " " << c.name;
      std::printf("%-15s %-6s: largest difference %.3g (meters and states %.3g), %.2f%% identical\n", c.name,
                  SetName(k), cmp.maxDiff, cmp.maxMeterDiff, 100.0 * cmp.identical / cmp.samples);
    }
  }
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
    StereoRun input = MakeInput(40000, signalSeed, true);
    // Some streams run hot, into both sections.
    if (stream % 3 == 0)
      for (auto& ch : input.in) for (double& x : ch) x *= 3.0;
    const std::vector<Comparison> cmps = RunAll(
        input, fs, settings[0], [&](int b, int) { return settings[static_cast<size_t>(b % 64)]; },
        [&](int b) { return sizes[static_cast<size_t>(b % 64)]; }, [&](int b) { return resets[static_cast<size_t>(b % 64)]; });
    for (int k = 0; k < static_cast<int>(cmps.size()); ++k) {
      const Comparison& cmp = cmps[static_cast<size_t>(k)];
      EXPECT_LE(cmp.maxDiff, ToleranceOf(k)) << SetName(k) << " stream " << stream;
      EXPECT_LE(cmp.maxMeterDiff, ToleranceOf(k)) << SetName(k) << " stream " << stream;
      EXPECT_EQ(cmp.settingMismatches, 0) << SetName(k) << " stream " << stream;
      std::printf("stream %2d fs %6.0f %-6s: largest difference %.3g (meters and states %.3g), %.2f%% identical, "
                  "%ld samples unlike the first regrouped set's\n",
                  stream, fs, SetName(k), cmp.maxDiff, cmp.maxMeterDiff, 100.0 * cmp.identical / cmp.samples,
                  cmp.unlikeOtherRegrouped);
    }
  }
}

}  // namespace

namespace {

// Every set gives the same samples whatever lengths the host's blocks have: the regrouped
// filters work on the stream's own blocks of eight, not the host's. Mono and stereo music with
// a silent stretch (where a channel comes to rest mid-block) and a change of settings.
TEST(ChainAgreement, OutputDoesNotDependOnBlockLengths) {
  StereoRun input = MakeInput(30000, 5, true);
  std::fill(input.in[1].begin(), input.in[1].begin() + 12000, 0.0);  // mono, then stereo
  for (auto& ch : input.in) std::fill(ch.begin() + 20000, ch.begin() + 26000, 0.0);
  ParamValues values = kDefaultValues;
  const ChainSettings first = SettingsFor(values);
  values[kParamHigh] = 3;
  const ChainSettings second = SettingsFor(values);
  const SupportedKernelSets sets = SupportedKernels();
  for (int k = 0; k < sets.count; ++k) {
    std::vector<double> reference[2];
    for (int pattern = 0; pattern < 3; ++pattern) {
      StereoRun run = input;
      auto chain = std::make_unique<TollenbrookChain>(*sets.sets[k]);
      chain->Reset(48000.0, first);
      std::mt19937 rng(static_cast<uint32_t>(pattern));
      for (int pos = 0; pos < run.Frames();) {
        // The settings change at frame 15000 in every pattern, so the blocks end there.
        const int limit = (pos < 15000 ? 15000 : run.Frames()) - pos;
        const int n = std::min(pattern == 0 ? 512 : std::uniform_int_distribution<int>(1, pattern == 1 ? 13 : 700)(rng), limit);
        auto in = run.Inputs(pos);
        auto out = run.Outputs(pos);
        chain->Process(in.data(), out.data(), n, 48000.0, pos < 15000 ? first : second);
        pos += n;
      }
      if (pattern == 0) {
        reference[0] = run.out[0];
        reference[1] = run.out[1];
        continue;
      }
      for (int ch = 0; ch < 2; ++ch)
        for (size_t i = 0; i < reference[ch].size(); ++i)
          ASSERT_EQ(run.out[ch][i], reference[ch][i]) << SetName(k) << " pattern " << pattern << " channel " << ch
                                                      << " frame " << i;
    }
  }
}

}  // namespace
