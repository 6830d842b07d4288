#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>

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
template <class SettingsAt, class BlockAt>
Comparison RunBoth(StereoRun& fast, StereoRun& plainRun, double fs, const ChainSettings& resetSettings,
                   SettingsAt settingsAt, BlockAt blockAt) {
  auto chain = std::make_unique<TollenbrookChain>();
  auto plain = std::make_unique<PlainChain>();
  chain->Reset(fs, resetSettings);
  plain->Reset(fs, resetSettings);
  Comparison cmp;
  int block = 0;
  for (int pos = 0; pos < fast.Frames(); ++block) {
    const int n = std::min(blockAt(block), fast.Frames() - pos);
    const ChainSettings s = settingsAt(block, pos);
    auto in = fast.Inputs(pos);
    auto out = fast.Outputs(pos);
    chain->Process(in.data(), out.data(), n, fs, s);
    auto pin = plainRun.Inputs(pos);
    auto pout = plainRun.Outputs(pos);
    plain->Process(pin.data(), pout.data(), n, fs, s);
    cmp.maxMeterDiff = std::max({cmp.maxMeterDiff, std::fabs(chain->LastBlock().limiterMeter - plain->limiterValue),
                                 std::fabs(chain->LastBlock().compMeter - plain->compValue)});
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
                                       [](int b) { return 1 + (b * 797) % 1500; });
        EXPECT_LE(cmp.maxDiff, kTolerance) << "parameter " << p << " value " << v << " oversampling " << over;
        EXPECT_LE(cmp.maxMeterDiff, kTolerance) << "parameter " << p << " value " << v;
        std::printf("p%2d v%2d os%d  max %.3g  identical %.2f%%\n", p, v, over, cmp.maxDiff,
                    100.0 * cmp.identical / cmp.samples);
      }
    }
  }
}

}  // namespace
