#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "IPlug/CLAP/CLAPTestHost.h"
#include "IPlug/HostParams.h"
#include "product/MusicSignal.h"
#include "product/Tollenbrook.h"

// Audio through Tollenbrook.clap: 64-bit blocks give exactly what the product's own processing
// gives the same doubles, events take effect at their sample offsets, the host's bypass
// crossfades to the input, and processing allocates nothing.
namespace {

using claptest::Host;
using claptest::ParamEvent;
using claptest::Plugin;

constexpr double kRate = 48000.0;
clap_id IdOf(int paramIdx) { return static_cast<clap_id>(paramIdx + 1); }

template <typename Sample>
struct Signal {
  std::vector<std::vector<Sample>> in, out;
  std::vector<Sample> key;
  explicit Signal(int frames, uint32_t seed = 7) : in(2), out(2, std::vector<Sample>(static_cast<size_t>(frames))) {
    const chaintest::MusicSignal music(frames, seed, 1.0);
    in[0].assign(music.left.begin(), music.left.end());
    in[1].assign(music.right.begin(), music.right.end());
    key.assign(music.right.rbegin(), music.right.rend());
  }
  // The frames [start, start + n) as a block of their own.
  Signal Slice(int start, int n) const {
    Signal s(0);
    for (int c = 0; c < 2; ++c) {
      s.in[c].assign(in[c].begin() + start, in[c].begin() + start + n);
      s.out[c].assign(static_cast<size_t>(n), Sample(0));
    }
    s.key.assign(key.begin() + start, key.begin() + start + n);
    return s;
  }
};

const std::vector<ParamEvent> kSetting = {{0, IdOf(kParamCompThreshold), 2.0}, {0, IdOf(kParamLimitLevel), 3.0},
                                          {0, IdOf(kParamRatio), 4.0},         {0, IdOf(kParamExtSidechain), 1.0},
                                          {0, IdOf(kParamHighPass), 2.0},      {0, IdOf(kParamOversample), 1.0}};

TEST(CLAPRender, SixtyFourBitBlocksEqualTheProcessingFedTheSameDoubles) {
  const int blocks[] = {512, 100, 333, 512, 1};
  int total = 0;
  for (int n : blocks) total += n;
  Signal<double> signal(total);

  Host host;
  Plugin plug(host);
  ASSERT_TRUE(plug.Activate(kRate, 512));
  // The product itself, built on the same binding, fed the same doubles directly.
  std::unique_ptr<iplug::IPlugCLAP> reference(MakePlugInstance(iplug::InstanceInfo{}));
  reference->SetSampleRate(kRate);
  reference->ResetProcessing();
  iplug::HostParams params(*reference);
  for (const ParamEvent& e : kSetting)
    params.SetFromHost(static_cast<int>(e.id - 1), e.value, iplug::HostParams::Scale::kPlain,
                       iplug::HostParams::EditorNotice::kNone);

  int start = 0;
  for (size_t b = 0; b < std::size(blocks); ++b) {
    const int n = blocks[b];
    Signal<double> block = signal.Slice(start, n);
    ASSERT_EQ(plug.Process(block.in, &block.key, block.out, static_cast<uint32_t>(n),
                           b == 0 ? kSetting : std::vector<ParamEvent>{}),
              CLAP_PROCESS_CONTINUE);
    Signal<double> expected = signal.Slice(start, n);
    std::vector<double> unused(static_cast<size_t>(n), 0.0);
    double* in[4] = {expected.in[0].data(), expected.in[1].data(), expected.key.data(), unused.data()};
    double* out[2] = {expected.out[0].data(), expected.out[1].data()};
    reference->ProcessAudioBlock(in, out, n);
    for (int c = 0; c < 2; ++c)
      for (int f = 0; f < n; ++f)
        ASSERT_EQ(block.out[c][f], expected.out[c][f]) << "block " << b << " channel " << c << " frame " << f;
    start += n;
  }
}

// A change at frame 200 of a block sounds as it does when the host cuts the block there.
TEST(CLAPRender, EventsTakeEffectAtTheirOffsets) {
  Signal<float> whole(512);
  Host host;
  Plugin a(host), b(host);
  ASSERT_TRUE(a.Activate(kRate, 512));
  ASSERT_TRUE(b.Activate(kRate, 512));
  ASSERT_EQ(a.Process(whole.in, &whole.key, whole.out, 512, {{200, IdOf(kParamCompThreshold), 0.0}}),
            CLAP_PROCESS_CONTINUE);
  Signal<float> first = whole.Slice(0, 200), second = whole.Slice(200, 312);
  b.Process(first.in, &first.key, first.out, 200);
  b.Process(second.in, &second.key, second.out, 312, {{0, IdOf(kParamCompThreshold), 0.0}});
  Signal<float> unchanged(512);
  Plugin c(host);
  ASSERT_TRUE(c.Activate(kRate, 512));
  c.Process(unchanged.in, &unchanged.key, unchanged.out, 512);
  for (int ch = 0; ch < 2; ++ch) {
    for (int f = 0; f < 512; ++f)
      ASSERT_EQ(whole.out[ch][f], f < 200 ? first.out[ch][f] : second.out[ch][f - 200]) << ch << " " << f;
    EXPECT_NE(whole.out[ch], unchanged.out[ch]) << "the change sounds";
  }
}

TEST(CLAPRender, HostBypassCrossfadesToTheInputAndBack) {
  Host host;
  Plugin plug(host);
  ASSERT_TRUE(plug.Activate(kRate, 1024));
  Signal<float> on(1024), off(1024, 9), back(1024, 11);
  plug.Process(on.in, &on.key, on.out, 1024, {{0, IdOf(kParamGain), 12.0}});
  EXPECT_NE(on.out[0], on.in[0]);
  plug.Process(off.in, &off.key, off.out, 1024, {{0, 0, 1.0}});
  EXPECT_EQ(plug.Value(0), 1.0);
  // 10 ms of crossfade (480 frames at 48 kHz), then the input as it came.
  for (int c = 0; c < 2; ++c) {
    EXPECT_NE(off.out[c][10], off.in[c][10]) << "no step into the bypass";
    for (int f = 480; f < 1024; ++f) ASSERT_EQ(off.out[c][f], off.in[c][f]) << c << " " << f;
  }
  plug.Process(back.in, &back.key, back.out, 1024, {{0, 0, 0.0}});
  EXPECT_NE(std::vector<float>(back.out[0].begin() + 600, back.out[0].end()),
            std::vector<float>(back.in[0].begin() + 600, back.in[0].end()));
}

// A host whose buffers have fewer channels than the layout it chose gets silence, and nothing is
// read or written past the channels it gave.
TEST(CLAPRender, PortsWithTooFewChannelsAreSilencedOrLeftAlone) {
  Host host;
  Plugin plug(host);
  ASSERT_TRUE(plug.Activate(kRate, 256));
  Signal<float> s(256);
  std::vector<std::vector<float>> monoIn(1, s.in[0]), monoOut(1, std::vector<float>(256, 5.0f));
  ASSERT_EQ(plug.Process(monoIn, &s.key, s.out, 256), CLAP_PROCESS_CONTINUE);
  for (const auto& channel : s.out)
    for (float x : channel) ASSERT_EQ(x, 0.0f);
  ASSERT_EQ(plug.Process(s.in, &s.key, monoOut, 256), CLAP_PROCESS_CONTINUE);
  for (float x : monoOut[0]) ASSERT_EQ(x, 5.0f);
}

TEST(CLAPRender, ProcessAllocatesNothing) {
  Host host;
  Plugin plug(host);
  ASSERT_TRUE(plug.Activate(kRate, 2048));
  int64_t allocations = 0;
  const uint32_t lengths[] = {0, 1, 64, 512, 2048, 333, 17};
  for (int round = 0; round < 4; ++round) {
    for (uint32_t n : lengths) {
      const std::vector<ParamEvent> events = {{0, IdOf(kParamCompThreshold), double((round * 3 + n) % 16)},
                                              {n / 2, IdOf(kParamOversample), double(n % 2)},
                                              {n / 3, 0, round == 2 ? 1.0 : 0.0}};
      if (round % 2 == 0) {
        Signal<float> s(static_cast<int>(n));
        plug.Process(s.in, round == 2 ? nullptr : &s.key, s.out, n, events);
      } else {
        Signal<double> s(static_cast<int>(n));
        plug.Process(s.in, &s.key, s.out, n, events);
      }
      allocations += plug.LastProcessAllocations();
    }
  }
  EXPECT_EQ(allocations, 0);
}

}  // namespace
