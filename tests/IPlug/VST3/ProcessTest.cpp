#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#include "IPlug/VST3/IPlugVST3.h"
#include "IPlug/VST3/VST3Rig.h"
#include "product/MusicSignal.h"
#include "product/TollenbrookParams.h"
#include "support/AllocationCounter.h"
#include "support/LockCounter.h"

// process() as a host's audio thread calls it, against the product linked into this test and
// fed the same doubles.
namespace {

using namespace vst3test;

constexpr int kBlock = 512;
constexpr int kBlocks = 8;
constexpr int kFrames = kBlock * kBlocks;

struct Signal {
  chaintest::MusicSignal music{kFrames, 11, 1.0};
};

// The product's own processing over the same input: one call per piece, the ratio set to
// `ratio` (normalised) after `switchAt` frames.
std::vector<double> Reference(const Signal& s, int switchAt, double ratio) {
  std::unique_ptr<iplug::IPlugVST3> plug(MakePlugInstance(iplug::InstanceInfo{}));
  plug->SetSampleRate(48000.0);
  plug->ResetProcessing();
  std::vector<double> outL(kFrames), outR(kFrames), silence(kFrames, 0.0);
  int at = 0;
  while (at < kFrames) {
    if (at == switchAt) {
      plug->GetParam(kParamRatio)->SetNormalized(ratio);
      plug->OnParamChange(kParamRatio, iplug::ParamSource::kHost, -1);
    }
    const int end = std::min({kFrames, (at / kBlock + 1) * kBlock, at < switchAt ? switchAt : kFrames});
    double* in[4] = {const_cast<double*>(s.music.left.data()) + at, const_cast<double*>(s.music.right.data()) + at,
                     silence.data() + at, silence.data() + at};
    double* out[2] = {outL.data() + at, outR.data() + at};
    plug->ProcessAudioBlock(in, out, end - at);
    at = end;
  }
  outL.insert(outL.end(), outR.begin(), outR.end());
  return outL;
}

// The bundle with 64-bit samples, in place, the ratio changing at `switchAt` inside a block.
std::vector<double> ThroughBundle(const Signal& s, int switchAt, double ratio) {
  Module module;
  Plugin p(module);
  p.Start(48000.0, kBlock, V3_SAMPLE_64);
  std::vector<double> l(s.music.left), r(s.music.right);
  const v3_param_id ratioID = p.IDOf("Ratio");
  for (int b = 0; b < kBlocks; ++b) {
    ParamChanges changes;
    if (switchAt / kBlock == b) changes.Add(ratioID, switchAt % kBlock, ratio);
    double* at[2] = {l.data() + b * kBlock, r.data() + b * kBlock};
    EXPECT_EQ(p.Process<double>({at[0], at[1]}, {at[0], at[1]}, kBlock, &changes), V3_OK);
  }
  l.insert(l.end(), r.begin(), r.end());
  return l;
}

TEST(VST3Process, SixtyFourBitOutputIsTheProductsOwnBitForBitWithChangesAtTheirOffsets) {
  const Signal s;
  const int switches[] = {0, 3 * kBlock + 100};
  for (int at : switches) {
    const std::vector<double> expected = Reference(s, at, 1.0);
    const std::vector<double> got = ThroughBundle(s, at, 1.0);
    ASSERT_EQ(got.size(), expected.size());
    size_t differing = 0;
    for (size_t i = 0; i < got.size(); ++i) differing += got[i] != expected[i];
    EXPECT_EQ(differing, 0u) << "change at frame " << at;
  }
}

TEST(VST3Process, ABlockOfNoFramesOnlyTakesTheChanges) {
  Module module;
  Plugin p(module);
  p.Start(48000.0, kBlock, V3_SAMPLE_32);
  const std::vector<uint8_t> before = p.State();
  ParamChanges changes;
  changes.Add(p.IDOf("Gain"), 0, 1.0);
  float sentinel[4] = {7.f, 7.f, 7.f, 7.f};
  ASSERT_EQ(p.Process<float>({sentinel, sentinel + 2}, {sentinel, sentinel + 2}, 0, &changes), V3_OK);
  EXPECT_EQ(std::count(sentinel, sentinel + 4, 7.f), 4);
  EXPECT_NE(p.State(), before);
}

TEST(VST3Process, HostBypassGivesTheInputBackAndMetersReachTheOutputChanges) {
  const Signal s;
  Module module;
  Plugin p(module);
  p.Start(48000.0, kBlock, V3_SAMPLE_32);
  const v3_param_id bypass = 0;
  std::vector<float> inL(s.music.left.begin(), s.music.left.end()), inR(s.music.right.begin(), s.music.right.end());
  std::vector<float> outL(kFrames), outR(kFrames);
  ParamChanges in, out;
  in.Add(p.IDOf("Compressor Threshold"), 0, 0.0);  // -20 dB: the compressor works
  for (int b = 0; b < kBlocks; ++b) {
    if (b == kBlocks / 2) in.Add(bypass, 0, 1.0);
    out.Clear();
    const int at = b * kBlock;
    p.Process<float>({inL.data() + at, inR.data() + at}, {outL.data() + at, outR.data() + at}, kBlock, &in, &out);
    in.Clear();
    if (b == 1) {
      const double comp = out.Last(0x40000001);
      EXPECT_GT(comp, 0.0) << "the compressor's gain reduction";
      EXPECT_LE(comp, 1.0);
    }
  }
  // The crossfade is over well within a block; from then on the input comes back as it was.
  for (int f = (kBlocks / 2 + 1) * kBlock; f < kFrames; ++f) {
    ASSERT_EQ(outL[static_cast<size_t>(f)], inL[static_cast<size_t>(f)]) << f;
    ASSERT_EQ(outR[static_cast<size_t>(f)], inR[static_cast<size_t>(f)]) << f;
  }
  EXPECT_EQ(out.Last(0x40000001), 0.0) << "bypassed, nothing is taken away";
}

// Joined directly, or through a host's proxies (which relay messages only).
class VST3Latency : public testing::TestWithParam<bool> {};

TEST_P(VST3Latency, AChangeIsAskedForOnTheUIThreadOnly) {
  Module module;
  HostApplication app;
  Plugin p(module, GetParam() ? &app : nullptr);
  p.Start(48000.0, kBlock, V3_SAMPLE_32);
  std::vector<float> l(kBlock, 0.1f), r(kBlock, 0.1f);
  ParamChanges changes;
  changes.Add(p.IDOf("Oversample"), 0, 1.0);
  std::thread audio([&] {
    for (int b = 0; b < 4; ++b) {
      p.Process<float>({l.data(), r.data()}, {l.data(), r.data()}, kBlock, &changes);
      changes.Clear();
    }
  });
  audio.join();
  EXPECT_TRUE(p.mHandler.mCalls.empty()) << "nothing is asked of the host from the audio thread";
  EXPECT_EQ(p.P()->get_latency_samples(p.mProcessor), 64u);
  // The next call the host makes on its UI thread brings the request.
  p.E()->get_parameter_normalised(p.mController, p.IDOf("Oversample"));
  ASSERT_EQ(p.mHandler.mCalls.size(), 1u);
  EXPECT_EQ(p.mHandler.mCalls[0], "restart " + std::to_string(V3_RESTART_LATENCY_CHANGED));
  EXPECT_EQ(p.mHandler.mRestartThreads[0], std::this_thread::get_id());
}

INSTANTIATE_TEST_SUITE_P(Joined, VST3Latency, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "ThroughProxies" : "Directly"; });

#if !defined(_WIN32)  // the Windows bundle links its own allocator, which this program cannot count
TEST(VST3Process, ProcessAllocatesNothingAndTakesNoLock) {
  const Signal s;
  Module module;
  Plugin p(module);
  p.Start(48000.0, 2048, V3_SAMPLE_64);
  std::vector<double> l(s.music.left), r(s.music.right);
  std::vector<float> lf(l.begin(), l.end()), rf(r.begin(), r.end());
  const v3_param_id ids[] = {p.IDOf("Compressor Threshold"), p.IDOf("Oversample"), p.IDOf("Ratio"), 0};
  const int lengths[] = {0, 1, 64, 512, 2048, 333, 17};
  ParamChanges in, out;
  int64_t allocations = 0;
  int64_t locks = 0;
  for (int round = 0; round < 4; ++round) {
    for (int n : lengths) {
      in.Clear();
      out.Clear();
      for (const v3_param_id id : ids) in.Add(id, n / 2, ((round + n) % 3) / 2.0);
      const testsupport::AllocationScope allocationScope;
      const locktest::LockScope lockScope;
      if (round % 2)
        p.Process<double>({l.data(), r.data()}, {l.data(), r.data()}, n, &in, &out, round == 3 ? 3 : 0);
      else
        p.Process<float>({lf.data(), rf.data()}, {lf.data(), rf.data()}, n, &in, &out);
      allocations += allocationScope.Count();
      locks += lockScope.Count();
    }
  }
  EXPECT_EQ(allocations, 0);
  if (locktest::Available()) {
    EXPECT_EQ(locks, 0);
  }
}
#endif

}  // namespace
