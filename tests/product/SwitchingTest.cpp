#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "product/TollenbrookHostRig.h"

using namespace chaintest;

namespace {

constexpr double kFs = 48000.0;
constexpr int kBlock = 64;

// A 1 kHz sine of 0.5 through the plug-in, `blocks` blocks long, with `change` run before each
// block; returns the largest step between neighbouring output samples after the first block.
template <class Change>
double LargestStep(Tollenbrook& plug, int blocks, Change&& change, bool hostBypass = false) {
  HostBuffers b(kBlock * blocks);
  for (size_t i = 0; i < b.in[0].size(); ++i)
    b.in[0][i] = b.in[1][i] = static_cast<float>(0.5 * std::sin(2.0 * std::numbers::pi * 1000.0 * i / kFs));
  for (int k = 0; k < blocks; ++k) {
    const bool bypassed = change(k);
    if (hostBypass) {
      plug.ConnectChannels(iplug::kInput, 0, 4, true);
      float* ins[] = {b.in[0].data() + k * kBlock, b.in[1].data() + k * kBlock};
      float* outs[] = {b.out[0].data() + k * kBlock, b.out[1].data() + k * kBlock};
      plug.AttachHostBuffers(iplug::kInput, 0, 2, ins, kBlock);
      plug.ConnectChannels(iplug::kOutput, 0, 2, true);
      plug.AttachHostBuffers(iplug::kOutput, 0, 2, outs, kBlock);
      plug.RenderHostBuffers(kBlock, bypassed);
    } else {
      b.Render(plug, k * kBlock, kBlock);
    }
  }
  double largest = 0.0;
  for (int c = 0; c < 2; ++c)
    for (size_t i = kBlock + 1; i < b.out[c].size(); ++i)
      largest = std::max(largest, std::fabs(static_cast<double>(b.out[c][i]) - b.out[c][i - 1]));
  return largest;
}

// The sine's own largest step, 0.5 x 2 sin(pi f / fs), with room for the plug-in's colour.
const double kAllowedStep = 1.3 * 0.5 * 2.0 * std::sin(std::numbers::pi * 1000.0 / kFs);

std::unique_ptr<Tollenbrook> Plug(int oversample) {
  auto plug = std::make_unique<RecordingTollenbrook>();
  plug->SetSampleRate(kFs);
  HostSetsParam(*plug, kParamOversample, oversample);
  plug->ResetProcessing();
  return plug;
}

// A switch mid-stream, back and forth, at several distances (some reversing a fade under way).
TEST(Switching, BypassAndOversampleNeverStep) {
  for (int param : {kParamBypass, kParamOversample}) {
    for (int gap : {1, 3, 20}) {
      auto plug = Plug(1);
      const int start = param == kParamBypass ? 1 : 0;
      const double step = LargestStep(*plug, 120, [&](int k) {
        if (k >= 10 && (k - 10) % gap == 0 && k < 10 + 4 * gap)
          HostSetsParam(*plug, param, ((k - 10) / gap) % 2 == 0 ? 1 - start : start);
        return false;
      });
      EXPECT_LE(step, kAllowedStep) << "parameter " << param << " every " << gap << " blocks";
    }
  }
}

TEST(Switching, TheHostsBypassNeverStepsWithOrWithoutLatency) {
  for (int oversample : {0, 1}) {
    auto plug = Plug(oversample);
    const double step = LargestStep(
        *plug, 120, [](int k) { return (k >= 10 && k < 30) || (k >= 31 && k < 60); }, /*hostBypass=*/true);
    EXPECT_LE(step, kAllowedStep) << "oversampling " << oversample;
  }
}

// Without a switch the fader changes nothing: the output is the chain's, bit for bit.
TEST(Switching, SteadySettingsLeaveTheChainsOutputAlone) {
  auto faded = Plug(1);
  TollenbrookChain chain;
  ChainSettings settings = faded->CurrentChainSettings();
  chain.Reset(kFs, settings);
  HostBuffers b(2048);
  for (size_t i = 0; i < 2048; ++i) b.in[0][i] = b.in[1][i] = static_cast<float>(std::sin(0.01 * i));
  b.Render(*faded, 0, 2048);
  std::vector<double> in[4], out[2];
  for (int c = 0; c < 4; ++c) in[c].assign(2048, 0.0);
  for (int c = 0; c < 2; ++c) {
    for (size_t i = 0; i < 2048; ++i) in[c][i] = b.in[c][i];
    out[c].assign(2048, 0.0);
  }
  const double* ins[] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
  double* outs[] = {out[0].data(), out[1].data()};
  chain.Process(ins, outs, 2048, kFs, settings);
  for (size_t i = 0; i < 2048; ++i) ASSERT_EQ(b.out[0][i], static_cast<float>(out[0][i])) << i;
}

}  // namespace
