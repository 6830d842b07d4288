#include <gtest/gtest.h>

#include <vector>

#include "IPlug/LV2/LilvRig.h"
#include "product/MusicSignal.h"
#include "support/AllocationCounter.h"
#include "support/LockCounter.h"

// run() as a host's audio thread calls it: any block length, moving controls, the host's
// bypass, a side chain that comes and goes, outputs written in place. It allocates nothing
// and takes no lock, and its output controls report the latency and the gain reduction.
namespace {

using lv2test::Instance;

constexpr int kLongest = 5000;  // past the bound announced below: served in pieces

struct Rig {
  Instance inst{lv2test::kStereoURI, 48000.0, 2048};
  chaintest::MusicSignal music{kLongest, 5, 1.0};
  std::vector<float> left, right, key, outL, outR;

  Rig()
      : left(music.left.begin(), music.left.end()), right(music.right.begin(), music.right.end()),
        key(left), outL(kLongest), outR(kLongest) {
    inst.Connect(inst.AudioInputs()[0], left.data());
    inst.Connect(inst.AudioInputs()[1], right.data());
    inst.Connect(inst.SideChainPort(), key.data());
    inst.Connect(inst.AudioOutputs()[0], outL.data());
    inst.Connect(inst.AudioOutputs()[1], outR.data());
    lilv_instance_activate(inst.Get());
  }
  float& Control(const char* name) { return inst.Control(inst.PortByName(name)); }
  float Output(const char* symbol) { return inst.Control(inst.PortBySymbol(symbol)); }
};

TEST(LV2RealTime, RunAllocatesNothingAndTakesNoLock) {
  Rig rig;
  const uint32_t lengths[] = {0, 1, 64, 512, 2048, kLongest, 333, 0, 17};
  int64_t allocations = 0;
  int64_t locks = 0;
  for (int round = 0; round < 4; ++round) {
    for (uint32_t n : lengths) {
      // Every control moves between blocks, as automation moves them.
      rig.Control("Compressor Threshold") = static_cast<float>((round * 3 + n) % 16);
      rig.Control("Limit Level") = static_cast<float>((n + round) % 23);
      rig.Control("Ratio") = static_cast<float>(round % 5);
      rig.Control("Oversample") = static_cast<float>(n % 2);
      rig.Control("External Sidechain") = static_cast<float>(round % 2);
      rig.Control("Compressor Recovery Time") = static_cast<float>(n % 6);
      rig.Control("Enabled") = round == 2 ? 0.0f : 1.0f;
      rig.inst.Connect(rig.inst.SideChainPort(), round == 3 ? nullptr : rig.key.data());
      if (round == 1) rig.inst.Connect(rig.inst.AudioOutputs()[0], rig.left.data());  // in place from here on

      const testsupport::AllocationScope allocationScope;
      const locktest::LockScope lockScope;
      lilv_instance_run(rig.inst.Get(), n);
      allocations += allocationScope.Count();
      locks += lockScope.Count();
    }
  }
  EXPECT_EQ(allocations, 0);
  if (locktest::Available()) {
    EXPECT_EQ(locks, 0);
  }
}

TEST(LV2RealTime, OutputControlsReportLatencyAndGainReduction) {
  Rig rig;
  rig.Control("Compressor Threshold") = 0;  // -60 dB: the compressor works hard
  rig.Control("Limit Level") = 0;
  rig.Control("Oversample") = 1;
  lilv_instance_run(rig.inst.Get(), 0);
  EXPECT_EQ(rig.Output("latency"), 64.0f) << "a block of no frames reports the latency";
  lilv_instance_run(rig.inst.Get(), 4096);
  EXPECT_GT(rig.Output("compressor_gain_reduction"), 6.0f);
  EXPECT_GT(rig.Output("limiter_gain_reduction"), 0.5f);

  const float comp = rig.Output("compressor_gain_reduction");
  lilv_instance_run(rig.inst.Get(), 0);
  EXPECT_EQ(rig.Output("compressor_gain_reduction"), comp) << "no frames, no new reading";

  rig.Control("Enabled") = 0;
  lilv_instance_run(rig.inst.Get(), 512);
  EXPECT_EQ(rig.Output("compressor_gain_reduction"), 0.0f);
  EXPECT_EQ(rig.Output("limiter_gain_reduction"), 0.0f);
  EXPECT_EQ(rig.Output("latency"), 64.0f) << "switched out, the output stays delayed";

  rig.Control("Enabled") = 1;
  rig.Control("Oversample") = 0;
  lilv_instance_run(rig.inst.Get(), 512);
  EXPECT_EQ(rig.Output("latency"), 0.0f);
}

}  // namespace
