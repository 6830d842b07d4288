#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "product/Saturate.h"
#include "product/TollenbrookChain.h"
#include "product/ChainTestSupport.h"
#include "product/MusicSignal.h"

using namespace chaintest;

namespace {

constexpr double kFs = 48000.0;

struct ChainRig {
  std::unique_ptr<TollenbrookChain> chain = std::make_unique<TollenbrookChain>();
  StereoRun run;
  ChainRig(int frames, const ChainSettings& s) : run(frames) { chain->Reset(kFs, s); }
  // Processes the whole run in blocks of `block` frames.
  void Process(const ChainSettings& s, int block = 512) {
    for (int pos = 0; pos < run.Frames(); pos += block) {
      const int n = std::min(block, run.Frames() - pos);
      auto in = run.Inputs(pos);
      auto out = run.Outputs(pos);
      chain->Process(in.data(), out.data(), n, kFs, s);
    }
  }
  void LoadMusic(uint32_t seed, double gain = 1.0) {
    MusicSignal m(run.Frames(), seed);
    for (size_t i = 0; i < m.left.size(); ++i) {
      run.in[0][i] = gain * m.left[i];
      run.in[1][i] = gain * m.right[i];
    }
  }
};

// Switched out, every output sample is the input less the alternating 1e-15 offset, with no
// delay, also while oversampling; the needles fall toward rest.
TEST(ChainBehaviour, BypassPassesTheInputThroughUndelayed) {
  for (int over = 0; over <= 1; ++over) {
    ParamValues v = kDefaultValues;
    v[kParamBypass] = 0;
    v[kParamOversample] = over;
    const ChainSettings s = SettingsFor(v);
    ChainRig rig(48000, s);
    rig.LoadMusic(3, 2.0);
    rig.Process(s, 300);
    double sign = -1.0;  // the offset starts at +1e-15 and flips before the first sample
    for (int i = 0; i < rig.run.Frames(); ++i, sign = -sign) {
      const double d = sign * 1e-15;
      ASSERT_EQ(rig.run.out[0][static_cast<size_t>(i)], rig.run.in[0][static_cast<size_t>(i)] - d) << i;
      ASSERT_EQ(rig.run.out[1][static_cast<size_t>(i)], rig.run.in[1][static_cast<size_t>(i)] - d) << i;
    }
    EXPECT_LT(rig.chain->LastBlock().limiterMeter, 0.01);
    EXPECT_LT(rig.chain->LastBlock().compMeter, 0.01);
    EXPECT_EQ(TollenbrookChain::LatencyFor(s), 0);
  }
}

// With the dry mix only, the output is the input; oversampling delays it by exactly 64 samples
// (the latency the host is told), and switching oversampling out removes the delay.
TEST(ChainBehaviour, OversamplingDelaysTheDryPathBySixtyFourSamples) {
  ParamValues v = kDefaultValues;
  v[kParamMix] = 0;
  v[kParamOversample] = 1;
  const ChainSettings os = SettingsFor(v);
  ChainRig rig(4000, os);
  rig.LoadMusic(4);
  rig.Process(os, 100);
  for (int i = 0; i < rig.run.Frames(); ++i) {
    const double want = i < 64 ? 0.0 : rig.run.in[0][static_cast<size_t>(i - 64)];
    ASSERT_EQ(rig.run.out[0][static_cast<size_t>(i)], want) << i;
  }
  EXPECT_EQ(TollenbrookChain::LatencyFor(os), 64);

  v[kParamOversample] = 0;
  const ChainSettings direct = SettingsFor(v);
  EXPECT_EQ(TollenbrookChain::LatencyFor(direct), 0);
  rig.Process(direct, 100);
  for (int i = 0; i < rig.run.Frames(); ++i)
    ASSERT_EQ(rig.run.out[0][static_cast<size_t>(i)], rig.run.in[0][static_cast<size_t>(i)]) << i;

  v[kParamOversample] = 1;
  v[kParamBypass] = 0;
  EXPECT_EQ(TollenbrookChain::LatencyFor(SettingsFor(v)), 0);
}

// A silent side chain leaves both sections without gain reduction however loud the main input.
TEST(ChainBehaviour, SilentExternalSidechainMeansNoGainReduction) {
  ParamValues v = kDefaultValues;
  v[kParamExtSidechain] = 1;
  v[kParamCompThreshold] = 0;  // -60 dB: the main input alone would be squashed
  v[kParamLimitLevel] = 0;
  const ChainSettings s = SettingsFor(v);
  ChainRig rig(20000, s);
  rig.LoadMusic(5, 3.0);
  for (int pos = 0; pos < rig.run.Frames(); pos += 1000) {
    auto in = rig.run.Inputs(pos);
    auto out = rig.run.Outputs(pos);
    rig.chain->Process(in.data(), out.data(), 1000, kFs, s);
    EXPECT_EQ(rig.chain->LastBlock().compMinGainDb, 0.0);
    EXPECT_EQ(rig.chain->LastBlock().limiterMinGainDb, 0.0);
  }
  // The same input through the main detector is reduced by both sections.
  ParamValues w = v;
  w[kParamExtSidechain] = 0;
  const ChainSettings own = SettingsFor(w);
  rig.Process(own, 1000);
  EXPECT_LT(rig.chain->LastBlock().compMinGainDb, -10.0);
  EXPECT_LT(rig.chain->LastBlock().limiterMinGainDb, -3.0);
}

// After a reset the smoothers start on their targets: the very first sample is fully wet at
// the set output gain, and the limiter threshold sits at -30 dB after one sample.
TEST(ChainBehaviour, FirstSamplesAfterResetUseTheTargetsWithoutGlide) {
  ParamValues v = kDefaultValues;
  v[kParamMix] = 22;
  v[kParamLimitLevel] = 0;
  v[kParamGain] = 20;  // x10, so wet and dry differ clearly
  const ChainSettings s = SettingsFor(v);
  ChainRig rig(1, s);
  rig.run.in[0][0] = 0.01;
  rig.run.in[1][0] = -0.01;
  rig.Process(s, 1);
  EXPECT_NEAR(rig.run.out[0][0], 0.1, 0.002);
  EXPECT_NEAR(rig.run.out[1][0], -0.1, 0.002);
  EXPECT_NEAR(rig.chain->Limiter().mThreshold, -30.0, 1e-9);
  EXPECT_NEAR(rig.chain->Limiter().mKneeWidth, 9.0, 1e-9);
  EXPECT_NEAR(rig.chain->Compressor().mRatio, 3.0, 1e-12);
}

// A mono track leaves the right main input silent: the right output still exists and carries
// nothing but the dry silence and offsets.
TEST(ChainBehaviour, MonoMainInputProducesTwoOutputs) {
  const ChainSettings s = SettingsFor(kDefaultValues);
  ChainRig rig(10000, s);
  rig.LoadMusic(6);
  std::fill(rig.run.in[1].begin(), rig.run.in[1].end(), 0.0);
  rig.Process(s, 256);
  double left = 0.0;
  for (int i = 0; i < rig.run.Frames(); ++i) {
    EXPECT_LE(std::fabs(rig.run.out[1][static_cast<size_t>(i)]), 1e-14) << i;
    left = std::max(left, std::fabs(rig.run.out[0][static_cast<size_t>(i)]));
  }
  EXPECT_GT(left, 0.3);
}

// A mono insert does not read the right output, and the chain leaves the right channel's
// stateless work undone: the left output, the needles and the deepest gains stay exactly those
// of a chain that computes both, through gliding gain and mix, bypass and oversampling.
TEST(ChainBehaviour, AnUnheardRightOutputLeavesEverythingHeardAsItWas) {
  ParamValues v = kDefaultValues;
  const ChainSettings base = SettingsFor(v);
  ChainRig heard(12000, base), unheard(12000, base);
  for (ChainRig* rig : {&heard, &unheard}) {
    rig->LoadMusic(7, 1.5);
    std::fill(rig->run.in[1].begin(), rig->run.in[1].end(), 0.0);
  }
  std::vector<ChainSettings> steps;
  steps.push_back(base);
  ChainSettings gliding = base;
  gliding.gainTarget = 3.0;
  gliding.mixTarget = 11.0;
  steps.push_back(gliding);
  ChainSettings out = base;
  out.bypassValue = 0.0;
  steps.push_back(out);
  v[kParamOversample] = 1;
  steps.push_back(SettingsFor(v));
  steps.push_back(base);
  const int blocks[] = {512, 37, 128, 1000, 5};
  int pos = 0;
  for (size_t k = 0; pos < heard.run.Frames(); ++k) {
    const ChainSettings& s = steps[(k / 3) % steps.size()];
    ChainSettings quiet = s;
    quiet.rightHeard = false;
    const int n = std::min(blocks[k % 5], heard.run.Frames() - pos);
    auto in = heard.run.Inputs(pos);
    auto a = heard.run.Outputs(pos);
    auto b = unheard.run.Outputs(pos);
    heard.chain->Process(in.data(), a.data(), n, kFs, s);
    unheard.chain->Process(in.data(), b.data(), n, kFs, quiet);
    for (int i = 0; i < n; ++i) ASSERT_EQ(a[0][i], b[0][i]) << pos + i;
    const ChainBlockStats& x = heard.chain->LastBlock();
    const ChainBlockStats& y = unheard.chain->LastBlock();
    ASSERT_EQ(x.limiterMeter, y.limiterMeter) << pos;
    ASSERT_EQ(x.compMeter, y.compMeter) << pos;
    ASSERT_EQ(x.compMinGainDb, y.compMinGainDb) << pos;
    ASSERT_EQ(x.limiterMinGainDb, y.limiterMinGainDb) << pos;
    pos += n;
  }
}

// Searches the input whose waveshaped value is as close to full scale as doubles allow.
double InputForFullScale() {
  double lo = 0.9;
  double hi = 1.0;
  for (int k = 0; k < 200; ++k) {
    const double mid = 0.5 * (lo + hi);
    (Saturate(mid) < 1.0 ? lo : hi) = mid;
  }
  return lo;
}

// "Auto-2" maps the detector level onto 1 to 7 s: a full-scale detector asks for 7000 ms,
// "Auto-1" for 5000 ms, and silence for 1000 and 500 ms.
TEST(ChainBehaviour, AutomaticRecoveryFollowsTheDetectorLevel) {
  for (int mode = 4; mode <= 5; ++mode) {
    ParamValues v = kDefaultValues;
    v[kParamExtSidechain] = 1;
    v[kParamCompRecovery] = mode;
    v[kParamLevelRecovery] = mode;
    const ChainSettings s = SettingsFor(v);
    ChainRig rig(64, s);
    const double full = mode == 5 ? 7000.0 : 5000.0;
    const double quiet = mode == 5 ? 1000.0 : 500.0;
    EXPECT_EQ(rig.chain->CompRecoveryMs(), quiet);
    EXPECT_EQ(rig.chain->LevelRecoveryMs(), quiet);
    std::fill(rig.run.in[2].begin(), rig.run.in[2].end(), InputForFullScale());
    rig.Process(s);
    EXPECT_NEAR(rig.chain->CompRecoveryMs(), full, 1e-6);
    EXPECT_NEAR(rig.chain->LevelRecoveryMs(), full, 1e-6);
    std::fill(rig.run.in[2].begin(), rig.run.in[2].end(), 0.0);
    rig.Process(s);
    EXPECT_NEAR(rig.chain->CompRecoveryMs(), quiet, 1e-6);
  }
}

// A detector that has been loud recovers more slowly on "Auto-2" than on "100ms".
TEST(ChainBehaviour, AutomaticRecoveryIsSlowerAfterLoudPassages) {
  const auto releaseAfterBurst = [](int recovery) {
    ParamValues v = kDefaultValues;
    v[kParamCompThreshold] = 0;
    v[kParamCompRecovery] = recovery;
    const ChainSettings s = SettingsFor(v);
    ChainRig rig(24000, s);
    for (int i = 0; i < 4800; ++i) rig.run.in[0][static_cast<size_t>(i)] = rig.run.in[1][static_cast<size_t>(i)] = 0.9 * std::sin(0.05 * i);
    rig.Process(s);
    return rig.chain->Compressor().mEnvelope;
  };
  EXPECT_GT(releaseAfterBurst(5), 10.0 * releaseAfterBurst(0));
}

// Needles: no reduction brings both to rest, a heavily limited signal deflects the limiter's.
TEST(ChainBehaviour, MetersShowTheFractionRemoved) {
  ParamValues v = kDefaultValues;
  v[kParamLimitLevel] = 0;
  const ChainSettings s = SettingsFor(v);
  ChainRig quiet(96000, s);
  quiet.Process(s);
  EXPECT_LT(quiet.chain->LastBlock().limiterMeter, 1e-3);
  EXPECT_LT(quiet.chain->LastBlock().compMeter, 1e-3);
  ChainRig loud(96000, s);
  loud.LoadMusic(8, 3.0);
  loud.Process(s);
  const double limiter = loud.chain->LastBlock().limiterMeter;
  EXPECT_GT(limiter, 0.3);
  EXPECT_LT(limiter, 1.0);
}

}  // namespace
