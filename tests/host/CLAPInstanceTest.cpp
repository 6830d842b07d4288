#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "host/cli/CLAPPluginInstance.h"
#include "host/cli/PluginLoader.h"

// Our CLAP instance class against the probe plug-in (tests/host/probe/CLAPProbe.cpp): output =
// input x gain (+ key in mode "Key"), values from the frame of their event on, a latency of 16
// frames when switched on, read-only values for the peak, its timer's ticks and the width of
// the samples it was given.
namespace {

using tbhost::CLAPPluginInstance;

std::string Probe(int fault) {
  const char* dir = std::getenv("TOLLENBROOK_CLAP_PROBES");
  return std::string(dir ? dir : "") + "/clap_probe_" + std::to_string(fault) + ".clap";
}

int IndexOf(const CLAPPluginInstance& plugin, const std::string& name) {
  for (const tbhost::ParamInfo& p : plugin.Parameters())
    if (p.name == name) return p.index;
  return -1;
}

double Meter(const CLAPPluginInstance& plugin, const std::string& name) {
  for (int m = 0; m < plugin.MeterCount(); ++m)
    if (plugin.MeterName(m) == name) return plugin.MeterValue(m);
  return -1.0;
}

struct CLAPInstance : ::testing::Test {
  std::unique_ptr<CLAPPluginInstance> plugin;
  std::vector<float> in = std::vector<float>(100), key = std::vector<float>(100, 0.25f);
  std::vector<float> left = std::vector<float>(100), right = std::vector<float>(100);

  void SetUp() override {
    std::string error;
    plugin = CLAPPluginInstance::Create(Probe(0), error);
    ASSERT_TRUE(plugin) << error;
    for (size_t i = 0; i < in.size(); ++i) in[i] = 0.001f * static_cast<float>(i + 1);
  }
  void Process(int n) {
    const float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {left.data(), right.data()};
    plugin->ProcessBlock(ins, key.data(), outs, n);
  }
};

TEST_F(CLAPInstance, DescribesTheParametersBypassAndMetersAsThePlugInDoes) {
  const std::vector<tbhost::ParamInfo>& params = plugin->Parameters();
  ASSERT_EQ(params.size(), 6u) << "the bypass is no parameter of the table";
  EXPECT_TRUE(plugin->HasBypass());
  const tbhost::ParamInfo& mode = params[static_cast<size_t>(IndexOf(*plugin, "Mode"))];
  EXPECT_EQ(mode.step, 1.0);
  EXPECT_EQ(mode.max, 2.0);
  ASSERT_EQ(mode.displayTexts.size(), 3u);
  EXPECT_EQ(mode.displayTexts[1].second, "Key");
  EXPECT_TRUE(params[static_cast<size_t>(IndexOf(*plugin, "Gain"))].displayTexts.empty()) << "numbers stay numbers";
  EXPECT_FALSE(params[static_cast<size_t>(IndexOf(*plugin, "Peak"))].settable);
  EXPECT_EQ(plugin->MeterCount(), 3);
  double value = -1.0;
  EXPECT_TRUE(plugin->TextToValue(mode.index, "Half", value));
  EXPECT_EQ(value, 2.0);
  EXPECT_FALSE(plugin->TextToValue(IndexOf(*plugin, "Latency"), "Sideways", value));
}

TEST_F(CLAPInstance, RendersWithTheKeyOnTheSecondPortInBothSampleWidths) {
  std::string error;
  for (const bool wide : {false, true}) {
    ASSERT_TRUE(plugin->UseDoublePrecision(wide, error)) << error;
    ASSERT_TRUE(plugin->Initialise(44100, 2, true, error)) << error;
    plugin->SetParameter(IndexOf(*plugin, "Gain"), 6.0);
    plugin->SetParameter(IndexOf(*plugin, "Mode"), 1.0);  // key mixed in
    Process(100);
    EXPECT_EQ(Meter(*plugin, "Sample bits"), wide ? 64.0 : 32.0);
    const double gain = std::pow(10.0, 6.0 / 20.0);
    for (size_t i = 0; i < in.size(); i += 33) {
      EXPECT_EQ(left[i], static_cast<float>(in[i] * gain + 0.25)) << i;
      EXPECT_EQ(right[i], left[i]);
    }
    // Without a key input the key port hears silence.
    ASSERT_TRUE(plugin->Initialise(44100, 1, false, error)) << error;
    Process(100);
    EXPECT_EQ(left[50], static_cast<float>(in[50] * gain));
  }
}

TEST_F(CLAPInstance, ValueEventsTakeEffectAtTheirOffsetAcrossPieces) {
  std::string error;
  plugin->SetMaxPiece(16);  // a block of 100 goes to the plug-in in pieces of 16
  ASSERT_TRUE(plugin->Initialise(48000, 2, false, error)) << error;
  const int gain = IndexOf(*plugin, "Gain");
  for (const int offset : {0, 15, 16, 41, 99}) {
    plugin->SetParameter(gain, 0.0);
    ASSERT_TRUE(plugin->SetParameterAt(gain, -6.0, offset));
    Process(100);
    const auto at = static_cast<size_t>(offset);
    if (offset > 0) {
      EXPECT_EQ(left[at - 1], in[at - 1]) << offset;
    }
    EXPECT_EQ(left[at], static_cast<float>(in[at] * std::pow(10.0, -6.0 / 20.0))) << offset;
  }
  EXPECT_FALSE(plugin->SetParameterAt(IndexOf(*plugin, "Peak"), 1.0, 0)) << "a meter takes no value";
}

TEST_F(CLAPInstance, ALatencyChangeRestartsThePlugInOnceTheHostAsksForTheLatency) {
  std::string error;
  ASSERT_TRUE(plugin->Initialise(48000, 2, false, error)) << error;
  EXPECT_EQ(plugin->Latency(), 0);
  plugin->Host().TakeLatencyChanged();
  plugin->SetParameter(IndexOf(*plugin, "Latency"), 1.0);
  EXPECT_FALSE(plugin->Host().TakeLatencyChanged()) << "the latency changes with the restart only";
  EXPECT_EQ(plugin->Latency(), 16);
  EXPECT_TRUE(plugin->Host().TakeLatencyChanged()) << "the plug-in said so on activating";
  Process(100);
  EXPECT_EQ(left[15], 0.0f);
  EXPECT_EQ(left[16], in[0]);
  EXPECT_EQ(plugin->ProcessErrors(), 0);
}

TEST_F(CLAPInstance, StatesTravelInPiecesAndDamagedOrForeignOnesChangeNothing) {
  std::string error;
  plugin->SetParameter(IndexOf(*plugin, "Gain"), 5.0);
  tbhost::PluginState saved, before, after;
  plugin->SetStatePiece(3);
  ASSERT_TRUE(plugin->SaveState(saved, error)) << error;
  EXPECT_EQ(saved.format, "CLAP");
  EXPECT_EQ(saved.bytes.size(), 36u);

  std::unique_ptr<CLAPPluginInstance> other = CLAPPluginInstance::Create(Probe(0), error);
  ASSERT_TRUE(other) << error;
  other->SetStatePiece(1);
  ASSERT_TRUE(other->LoadState(saved, error)) << error;
  double gain = 0.0;
  ASSERT_TRUE(other->CurrentValue(IndexOf(*other, "Gain"), gain));
  EXPECT_EQ(gain, 5.0);

  ASSERT_TRUE(other->SaveState(before, error));
  tbhost::PluginState cut = saved;
  cut.bytes.resize(20);
  EXPECT_FALSE(other->LoadState(cut, error));
  EXPECT_FALSE(other->LoadState({"'TLK1'", saved.bytes}, error));
  EXPECT_NE(error.find("not the plug-in's CLAP"), std::string::npos) << error;
  ASSERT_TRUE(other->SaveState(after, error));
  EXPECT_EQ(after.bytes, before.bytes);
}

TEST_F(CLAPInstance, TheRunLoopDrivesThePlugInsTimerOnTheMainThread) {
  EXPECT_EQ(plugin->Host().RunLoop().Timers(), 1u) << "the probe registers one timer when made";
  EXPECT_EQ(Meter(*plugin, "Ticks"), 0.0) << "nothing runs unless the host pumps";
  plugin->Host().RunLoop().Pump(60);
  EXPECT_GE(Meter(*plugin, "Ticks"), 3.0);
  EXPECT_EQ(plugin->Host().WrongThreadCount(), 0);
}

TEST(CLAPInstanceThreads, AMainThreadCallFromProcessIsRefusedAndCounted) {
  std::string error;
  for (const int fault : {0, 1}) {
    std::unique_ptr<CLAPPluginInstance> plugin = CLAPPluginInstance::Create(Probe(fault), error);
    ASSERT_TRUE(plugin) << error;
    std::vector<float> in(64, 0.1f), out0(64), out1(64);
    const float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {out0.data(), out1.data()};
    plugin->ProcessBlock(ins, nullptr, outs, 64);
    plugin->ProcessBlock(ins, nullptr, outs, 64);
    const std::vector<std::string> wrong = plugin->Host().WrongThreadCalls();
    if (fault == 0) {
      EXPECT_TRUE(wrong.empty());
    } else {
      ASSERT_EQ(wrong.size(), 1u);
      EXPECT_EQ(wrong[0], "clap.params rescan from a thread other than the main thread, 2 times");
    }
  }
}

TEST(CLAPInstanceLoading, AFileWithoutAnEntryIsRefusedWithItsName) {
  std::string error;
  const char* self = std::getenv("TOLLENBROOK_CLAP_PROBES");
  ASSERT_TRUE(self);
  EXPECT_FALSE(tbhost::PluginLoader::Load(std::string(self) + "/none.clap", error));
  EXPECT_NE(error.find("none.clap"), std::string::npos) << error;
  std::unique_ptr<tbhost::PluginInstance> loaded = tbhost::PluginLoader::Load(Probe(0), error);
  ASSERT_TRUE(loaded) << error;
  EXPECT_TRUE(dynamic_cast<CLAPPluginInstance*>(loaded.get()));
}

}  // namespace
