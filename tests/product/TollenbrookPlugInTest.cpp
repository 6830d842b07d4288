#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "IPlug/IPlugAPIBase.h"
#include "product/Tollenbrook.h"
#include "product/TollenbrookConfig.h"
#include "support/AllocationCounter.h"

using iplug::kInput;
using iplug::kOutput;

TEST(TollenbrookPlugIn, IdentityEditorSizeAndPresetSlots) {
  Tollenbrook plug{iplug::InstanceInfo{}};
  EXPECT_STREQ(plug.GetPluginName(), "Tollenbrook");
  EXPECT_STREQ(plug.GetProductName(), "Tollenbrook");
  EXPECT_STREQ(plug.GetMfrName(), "Vantorell");
  EXPECT_EQ(plug.GetUniqueID(), 0x544C4B31) << "'T' 'L' 'K' '1', first character most significant";
  EXPECT_EQ(plug.GetMfrID(), 0x56746F72);
  EXPECT_EQ(plug.VersionNumber(), 0x00030000);
  EXPECT_EQ(plug.VersionNumber(true), 30000);
  EXPECT_STREQ(plug.ApiName(), "AAX");
  EXPECT_EQ(plug.GetHost(), iplug::kHostUninit);
  EXPECT_TRUE(plug.HasUI());
  EXPECT_TRUE(plug.StateChunks());
  EXPECT_EQ(plug.GetEditorWidth(), 378);
  EXPECT_EQ(plug.GetEditorHeight(), 591);
  EXPECT_EQ(plug.GetMinWidth(), 189);
  EXPECT_EQ(plug.GetMaxWidth(), 756);
  EXPECT_EQ(plug.GetMinHeight(), 295);
  EXPECT_EQ(plug.GetMaxHeight(), 1182);
  EXPECT_EQ(plug.NPresets(), 1);
  EXPECT_STREQ(plug.PresetName(0), "empty");
  EXPECT_STREQ(plug.PresetName(1), "");
  EXPECT_FALSE(plug.IsPresetInitialized(0));
}

TEST(TollenbrookPlugIn, TheProcessorIsReadyForTheFirstBlock) {
  Tollenbrook plug{iplug::InstanceInfo{}};
  EXPECT_EQ(plug.NChannels(kInput), 4);
  EXPECT_EQ(plug.NChannels(kOutput), 2);
  EXPECT_EQ(plug.ConnectedChannelCount(kInput), 4);
  EXPECT_EQ(plug.ConnectedChannelCount(kOutput), 2);
  EXPECT_EQ(plug.GetBlockSize(), 512);
  EXPECT_EQ(plug.GetSampleRate(), 48000.0);
  EXPECT_EQ(plug.GetLatency(), 0);
  ASSERT_NE(plug.GetBypassDelayLine(), nullptr);
  EXPECT_EQ(plug.GetBypassDelayLine()->Length(), 0);
  EXPECT_GE(plug.GetBypassDelayLine()->MaxLength(), 64) << "oversampling's latency fits without allocating";
  EXPECT_EQ(plug.GetSideChainChannel(), 2) << "the side chain lands on input channel 2, mono or stereo";
  EXPECT_EQ(plug.NIOConfigs(), 8);
  EXPECT_FALSE(plug.DoesMIDIIn());
  EXPECT_FALSE(plug.DoesMIDIOut());
  EXPECT_FALSE(plug.IsInstrument());
}

TEST(TollenbrookPlugIn, ABlockWithTheBypassDelayAndLatencyChangesAllocatesNothing) {
  Tollenbrook plug{iplug::InstanceInfo{}};
  constexpr int n = 256;
  std::vector<float> in(n), side(n, 0.5f), outL(n, 9.f), outR(n, 9.f), processedL(n), processedR(n);
  for (int f = 0; f < n; ++f) in[f] = static_cast<float>(f) / n;
  float* ins[] = {in.data()};
  float* sc[] = {side.data()};
  float* outs[] = {outL.data(), outR.data()};

  testsupport::AllocationScope scope;
  // The render order of a mono track with a side chain.
  plug.GrowBlockSize(n);
  plug.ConnectChannels(kInput, 0, 1, true);
  plug.ConnectChannels(kInput, 1, 3, false);
  plug.ConnectChannels(kInput, plug.GetSideChainChannel(), 1, true);
  plug.AttachHostBuffers(kInput, 0, 1, ins, n);
  plug.AttachHostBuffers(kInput, plug.GetSideChainChannel(), 1, sc, n);
  plug.ConnectChannels(kOutput, 0, 2, true);
  plug.AttachHostBuffers(kOutput, 0, 2, outs, n);
  plug.ProcessHostBuffers(n);
  std::copy(outL.begin(), outL.end(), processedL.begin());
  std::copy(outR.begin(), outR.end(), processedR.begin());
  plug.UpdateLatency(64);
  plug.PassThroughHostBuffers(n);
  plug.UpdateLatency(0);
  plug.SendParamValueFromProcessor(kParamLimiterMeter, 0.5, false);
  plug.SendParamValueFromProcessor(kParamCompMeter, 0.25, false);
  EXPECT_EQ(scope.Count(), 0);
  EXPECT_TRUE(plug.CurrentChainSettings().rightHeard);
  plug.ConnectChannels(kOutput, 1, 1, false);
  EXPECT_FALSE(plug.CurrentChainSettings().rightHeard) << "a mono output: nothing reads the right channel";

  EXPECT_NEAR(processedL[10], in[10], 0.01f) << "the chain colours the main input a little";
  EXPECT_NE(processedL[10], in[10]);
  EXPECT_LE(std::fabs(processedR[10]), 1e-14f) << "the mono track's right output carries only the offsets";
  EXPECT_EQ(outL[10], 0.0f) << "bypassed with 64 samples of latency";
  EXPECT_EQ(outL[100], in[36]);
  EXPECT_EQ(plug.GetBlockSize(), 512);
}

TEST(TollenbrookPlugIn, InstancesAreCreatedOneAtATimeFromAnyThread) {
  std::mutex lock;
  std::vector<std::unique_ptr<iplug::IPlugAAX>> made;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 3; ++i) {
        std::unique_ptr<iplug::IPlugAAX> plug(MakePlugInstance(iplug::InstanceInfo{}));
        ASSERT_NE(plug, nullptr);
        std::lock_guard guard(lock);
        made.push_back(std::move(plug));
      }
    });
  }
  for (auto& t : threads) t.join();
  ASSERT_EQ(made.size(), 12u);
  std::set<const void*> distinct;
  for (const auto& plug : made) {
    distinct.insert(plug.get());
    EXPECT_EQ(plug->GetParam(kParamCompThreshold)->Value(), 15.0);
    EXPECT_NE(dynamic_cast<Tollenbrook*>(plug.get()), nullptr);
  }
  EXPECT_EQ(distinct.size(), 12u);
}

TEST(TollenbrookPlugIn, ConfigurationRecordHoldsTheProductsSettings) {
  constexpr iplug::PluginConfig config = MakeTollenbrookConfig();
  static_assert(config.mNParams == 15 && config.mNPresets == 1);
  EXPECT_STREQ(config.mChannelIOStr, "1-1 1.1-1 1.2-1 1.2-2 2.1-1 2.1-2 2-2 2.2-2");
  EXPECT_EQ(config.mVendorVersion, 196608);
  EXPECT_EQ(config.mMaxHeight / 2, config.mEditorHeight) << "limits are half and twice the editor size";
  EXPECT_EQ(config.mEditorHeight / 2, config.mMinHeight);
  EXPECT_EQ(config.mEditorWidth * 2, config.mMaxWidth);
  EXPECT_FALSE(config.mEditorOption);
  EXPECT_STREQ(config.mExtraText, "");
}
