#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "AAXTestRig.h"
#include "product/Tollenbrook.h"
#include "support/AllocationCounter.h"
#include "support/LockCounter.h"

namespace {

using aaxtest::HostedPlug;
using aaxtest::RawContext;

constexpr double kPi = 3.14159265358979323846;

// Tollenbrook as a stereo insert, driven block by block through the render callback.
struct ProductRender : ::testing::Test {
  HostedPlug<iplug::IPlugAAX> hosted{MakePlugInstance(iplug::InstanceInfo{}), 48000.0f};
  Tollenbrook& plug = static_cast<Tollenbrook&>(*hosted.plug);
  RawContext context{plug, 2, 2};
  int64_t position = 0;

  void SetUp() override { context.SetLength(512); }
  void HostSets(const char* id, double normalized) {
    ASSERT_EQ(hosted.Effect().SetParameterNormalizedValue(id, normalized), 0);
  }
  // A 200 Hz sine at the given peak on the main inputs; the key gets its own peak.
  void FillBlock(float mainPeak, float keyPeak) {
    for (int i = 0; i < 512; ++i) {
      const float s = static_cast<float>(std::sin(2.0 * kPi * 200.0 * static_cast<double>(position + i) / 48000.0));
      context.Input(0)[static_cast<size_t>(i)] = mainPeak * s;
      context.Input(1)[static_cast<size_t>(i)] = mainPeak * s;
      context.Input(2)[static_cast<size_t>(i)] = keyPeak * s;
    }
    position += 512;
  }
  void RenderBlocks(int blocks, float mainPeak, float keyPeak) {
    for (int b = 0; b < blocks; ++b) {
      FillBlock(mainPeak, keyPeak);
      context.Render();
    }
  }
};

TEST_F(ProductRender, OversamplingReportsItsLatencyToTheHost) {
  aaxhost::Controller& controller = hosted.instance.GetController();
  RenderBlocks(2, 0.1f, 0.0f);
  EXPECT_EQ(controller.SignalLatency(), 0);
  HostSets("15", 1.0);
  RenderBlocks(1, 0.1f, 0.0f);
  EXPECT_EQ(controller.SignalLatency(), 64);
  EXPECT_EQ(plug.GetLatency(), 64);

  // The host's bypass now delays the input by the same 64 samples, once its crossfade is
  // through.
  HostSets("", 1.0);
  RenderBlocks(1, 0.1f, 0.0f);
  FillBlock(0.1f, 0.0f);
  context.Render();
  for (int i = 64; i < 512; ++i)
    ASSERT_EQ(context.Output(0)[static_cast<size_t>(i)], context.Input(0)[static_cast<size_t>(i - 64)]) << i;
}

TEST_F(ProductRender, TheKeyOnTheSideChainFieldDrivesTheSections) {
  HostSets("12", 1.0);  // "External Sidechain"
  HostSets("1", 0.0);   // lowest threshold
  context.SetSideChain(2);
  RenderBlocks(40, 0.05f, 0.0f);
  const double quietKeyDb = plug.LastBlockMeters().compMinGainDb;
  RenderBlocks(40, 0.05f, 1.0f);
  const double loudKeyDb = plug.LastBlockMeters().compMinGainDb;
  EXPECT_GT(quietKeyDb, -0.5) << "a silent key leaves the quiet signal alone";
  EXPECT_LT(loudKeyDb, -3.0) << "a loud key pulls it down";
  // Without a routed key the side-chain channel is silent again.
  context.SetSideChain(0);
  RenderBlocks(80, 0.05f, 1.0f);
  EXPECT_GT(plug.LastBlockMeters().compMinGainDb, -0.5);
}

TEST_F(ProductRender, RenderingAllocatesNothingAndTakesNoLockOnceTheBlockSizeIsKnown) {
  HostSets("15", 1.0);  // oversampling: the longest path through the chain
  context.SetSideChain(2);
  RenderBlocks(4, 0.5f, 0.5f);
  testsupport::AllocationScope scope;
  locktest::LockScope locks;
  RenderBlocks(20, 0.5f, 0.5f);
  context.SetLength(300);
  context.Render();
  EXPECT_EQ(scope.Count(), 0);
  if (locktest::Available()) {
    EXPECT_EQ(locks.Count(), 0);
  }
}

TEST_F(ProductRender, HostChangesWhileTheAudioThreadRuns) {
  std::atomic<bool> done{false};
  std::thread audio([&] {
    for (int b = 0; b < 300; ++b) {
      FillBlock(0.5f, 0.2f);
      context.Render();
    }
    done = true;
  });
  int round = 0;
  while (!done) {
    const double value = (round % 10) / 9.0;
    hosted.Effect().UpdateParameterNormalizedValue("3", value, AAX_eUpdateSource_Parameter);
    hosted.Effect().UpdateParameterNormalizedValue("15", round % 2, AAX_eUpdateSource_Parameter);
    hosted.Effect().UpdateParameterNormalizedValue("", (round / 7) % 2, AAX_eUpdateSource_Parameter);
    ++round;
    std::this_thread::yield();
  }
  audio.join();
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < 512; ++i) ASSERT_TRUE(std::isfinite(context.Output(c)[static_cast<size_t>(i)]));
}

}  // namespace
