#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <thread>

#include "support/LockCounter.h"
#include "product/MusicSignal.h"
#include "product/TollenbrookHostRig.h"
#include "support/AllocationCounter.h"

using namespace chaintest;

namespace {

void LoadMusic(HostBuffers& b, uint32_t seed) {
  MusicSignal m(static_cast<int>(b.in[0].size()), seed);
  for (size_t i = 0; i < m.left.size(); ++i) {
    b.in[0][i] = static_cast<float>(m.left[i]);
    b.in[1][i] = static_cast<float>(m.right[i]);
  }
}

// "Bypass" at 0 passes the input straight through (the 1e-15 offset vanishes in the host's
// floats), and reports no latency even with oversampling selected.
TEST(TollenbrookProcessing, SwitchedOutPassesTheInputThroughUndelayed) {
  auto plug = std::make_unique<RecordingTollenbrook>();
  HostSetsParam(*plug, kParamOversample, 1);
  HostSetsParam(*plug, kParamBypass, 0);
  plug->ResetProcessing();
  HostBuffers b(2048);
  LoadMusic(b, 1);
  for (int pos = 0; pos < 2048; pos += 256) b.Render(*plug, pos, 256);
  EXPECT_EQ(b.out[0], b.in[0]);
  EXPECT_EQ(b.out[1], b.in[1]);
  EXPECT_EQ(plug->GetLatency(), 0);
}

// Switched in with oversampling, the host is told 64 samples, and the host's own bypass then
// delays by the same 64 samples so the track stays aligned; switching the plug-in out makes
// the latency 0 at the end of that block.
TEST(TollenbrookProcessing, OversamplingReportsItsLatencyAndTheHostBypassHonoursIt) {
  auto plug = std::make_unique<RecordingTollenbrook>();
  HostSetsParam(*plug, kParamOversample, 1);
  HostSetsParam(*plug, kParamMix, 0);  // all dry: the output is the delayed input
  plug->ResetProcessing();
  HostBuffers b(1024);
  LoadMusic(b, 2);
  b.Render(*plug, 0, 512);
  EXPECT_EQ(plug->GetLatency(), 64);
  for (int i = 64; i < 512; ++i) ASSERT_EQ(b.out[0][static_cast<size_t>(i)], b.in[0][static_cast<size_t>(i - 64)]) << i;
  b.Render(*plug, 512, 512, /*bypassed=*/true);
  for (int i = 512 + 64; i < 1024; ++i)
    ASSERT_EQ(b.out[0][static_cast<size_t>(i)], b.in[0][static_cast<size_t>(i - 64)]) << i;

  HostSetsParam(*plug, kParamBypass, 0);
  b.Render(*plug, 0, 64);
  EXPECT_EQ(plug->GetLatency(), 0);
  HostSetsParam(*plug, kParamBypass, 1);
  HostSetsParam(*plug, kParamOversample, 0);
  b.Render(*plug, 0, 64);
  EXPECT_EQ(plug->GetLatency(), 64) << "the path changes once the output has faded out on it";
  b.Render(*plug, 0, 1024);
  EXPECT_EQ(plug->GetLatency(), 0);
}

// The meter values reach the editor only when the service tick runs, on the tick's thread,
// as plain values of parameters 12 and 13; processing alone delivers nothing.
TEST(TollenbrookProcessing, MeterValuesReachTheEditorOnlyThroughTheServiceTick) {
  auto plug = std::make_unique<RecordingTollenbrook>();
  HostSetsParam(*plug, kParamLimitLevel, 0);
  plug->ServiceQueues();  // the host-side parameter copies go out first
  plug->mDelivered.clear();
  HostBuffers b(4096);
  LoadMusic(b, 3);
  Tollenbrook::BlockMeters last{};
  std::thread audio([&] {
    for (int pos = 0; pos < 4096; pos += 512) b.Render(*plug, pos, 512);
    last = plug->LastBlockMeters();
  });
  audio.join();
  EXPECT_TRUE(plug->mDelivered.empty());
  EXPECT_GT(last.limiterMeter, 0.0);
  EXPECT_LT(last.limiterMeter, 1.0);

  plug->ServiceQueues();
  ASSERT_EQ(plug->mDelivered.size(), 2u);
  EXPECT_EQ(plug->mDelivered[0].paramIdx, kParamLimiterMeter);
  EXPECT_EQ(plug->mDelivered[0].value, last.limiterMeter);
  EXPECT_EQ(plug->mDelivered[1].paramIdx, kParamCompMeter);
  EXPECT_EQ(plug->mDelivered[1].value, last.compMeter);
  for (const auto& d : plug->mDelivered) {
    EXPECT_FALSE(d.normalized);
    EXPECT_EQ(d.thread, std::this_thread::get_id());
  }
  plug->mDelivered.clear();
  plug->ServiceQueues();
  EXPECT_TRUE(plug->mDelivered.empty()) << "nothing new, nothing sent";
}

// More blocks than the meter ring holds between two ticks: the newest readings are dropped,
// so the editor gets the last reading that fitted.
TEST(TollenbrookProcessing, AFullMeterRingDropsTheNewestReadings) {
  auto plug = std::make_unique<RecordingTollenbrook>();
  HostSetsParam(*plug, kParamLimitLevel, 0);
  plug->ServiceQueues();
  plug->mDelivered.clear();
  constexpr int kCapacity = Tollenbrook::kMeterRingSlots - 1;
  HostBuffers b(16 * (kCapacity + 10));
  LoadMusic(b, 4);
  Tollenbrook::BlockMeters lastAccepted{};
  Tollenbrook::BlockMeters newest{};
  for (int k = 0; k < kCapacity + 10; ++k) {
    b.Render(*plug, 16 * k, 16);
    if (k == kCapacity - 1) lastAccepted = plug->LastBlockMeters();
    newest = plug->LastBlockMeters();
  }
  ASSERT_NE(lastAccepted.limiterMeter, newest.limiterMeter);
  plug->ServiceQueues();
  ASSERT_EQ(plug->mDelivered.size(), 2u);
  EXPECT_EQ(plug->mDelivered[0].value, lastAccepted.limiterMeter);
  EXPECT_EQ(plug->mDelivered[1].value, lastAccepted.compMeter);
  // Drained, the ring takes readings again.
  plug->mDelivered.clear();
  b.Render(*plug, 0, 16);
  plug->ServiceQueues();
  ASSERT_EQ(plug->mDelivered.size(), 2u);
  EXPECT_EQ(plug->mDelivered[0].value, plug->LastBlockMeters().limiterMeter);
}

// The whole render path of a block, from host floats through the chain to host floats,
// including latency changes and a block that grows the buffers within their reserve.
TEST(TollenbrookProcessing, RenderingAllocatesNothingAndTakesNoLock) {
  auto plug = std::make_unique<RecordingTollenbrook>();
  HostBuffers b(4096);
  LoadMusic(b, 5);
  testsupport::AllocationScope allocations;
  locktest::LockScope locks;
  for (int k = 0; k < 12; ++k) {
    plug->GetParam(kParamOversample)->Set(k % 2);
    plug->OnParamChange(kParamOversample, iplug::ParamSource::kHost, -1);
    plug->GetParam(kParamCompRecovery)->Set(k % 6);
    b.Render(*plug, 0, 256 + 300 * k, k == 5);
  }
  EXPECT_EQ(allocations.Count(), 0);
  EXPECT_EQ(locks.Count(), 0);
}

}  // namespace
