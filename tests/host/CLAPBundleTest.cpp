#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "host/ModuleFixtures.h"
#include "host/TestFiles.h"
#include "host/WavFixtures.h"
#include "host/cli/CLAPPluginInstance.h"
#include "host/cli/ParamResolver.h"
#include "host/cli/PluginLoader.h"

// tollenbrook-host through Tollenbrook.clap: the same sound as through the AAX module, the same
// parameters, states of its own.
namespace {

using hosttest::HostRun;
using hosttest::RunModuleHost;

std::string Bundle() {
  const char* bundle = std::getenv("TOLLENBROOK_CLAP_BUNDLE");
  return bundle ? bundle : "";
}

const std::vector<std::string> kSettings = {"Compressor Threshold=-20dB", "Limit Level=4dB", "Ratio=6:1",
                                            "Oversample=Oversampling On", "External Sidechain=1"};

// Renders `frames` of the music signal (the key: the signal a little later) through `plugin` in
// blocks of 512, after the settings; the outputs, channel after channel.
std::vector<float> Render(tbhost::PluginInstance& plugin, int frames) {
  std::string error;
  EXPECT_TRUE(plugin.Initialise(44100, 2, true, error)) << error;
  std::vector<tbhost::ParamSetting> settings;
  EXPECT_TRUE(tbhost::ParamResolver(plugin.Parameters()).ResolveAll(kSettings, settings, error)) << error;
  for (const tbhost::ParamSetting& s : settings) plugin.SetParameter(s.index, s.value);
  constexpr int kBlock = 512;
  // The key is the signal 300 frames on: the music runs that far past the last block.
  const std::vector<double> music = hosttest::MusicSignal(frames + kBlock + 300, 2, 44100, 0.9);
  std::vector<float> in[2] = {std::vector<float>(kBlock), std::vector<float>(kBlock)};
  std::vector<float> key(kBlock), out0(kBlock), out1(kBlock), rendered;
  const float* ins[2] = {in[0].data(), in[1].data()};
  float* outs[2] = {out0.data(), out1.data()};
  for (int pos = 0; pos < frames; pos += kBlock) {
    for (size_t i = 0; i < kBlock; ++i) {
      const size_t at = 2 * (static_cast<size_t>(pos) + i);
      in[0][i] = static_cast<float>(music[at]);
      in[1][i] = static_cast<float>(music[at + 1]);
      key[i] = static_cast<float>(music[at + 600]);
    }
    plugin.ProcessBlock(ins, key.data(), outs, kBlock);
    rendered.insert(rendered.end(), out0.begin(), out0.end());
    rendered.insert(rendered.end(), out1.begin(), out1.end());
  }
  return rendered;
}

struct CLAPBundle : ::testing::Test {
  std::string bundle = Bundle();
  std::string module = hosttest::BuiltModule();
  void SetUp() override {
    if (bundle.empty()) GTEST_SKIP() << "no CLAP plug-in in this build";
  }
};

TEST_F(CLAPBundle, SoundsBitForBitAsTheModuleWith64BitSamples) {
  std::string error;
  std::unique_ptr<tbhost::PluginInstance> clap = tbhost::PluginLoader::Load(bundle, error);
  ASSERT_TRUE(clap) << error;
  std::unique_ptr<tbhost::PluginInstance> aax = tbhost::PluginLoader::Load(module, error);
  ASSERT_TRUE(aax) << error;
  ASSERT_TRUE(clap->UseDoublePrecision(true, error)) << error;
  const std::vector<float> fromAAX = Render(*aax, 44100);
  const std::vector<float> fromCLAP = Render(*clap, 44100);
  ASSERT_EQ(fromCLAP.size(), fromAAX.size());
  size_t differ = 0;
  for (size_t i = 0; i < fromAAX.size(); ++i) {
    if (fromCLAP[i] != fromAAX[i] && differ++ < 5)
      ADD_FAILURE() << "sample " << i << ": " << fromCLAP[i] << " through the plug-in, " << fromAAX[i]
                    << " through the module";
  }
  EXPECT_EQ(differ, 0u) << "of " << fromAAX.size() << " samples";
  EXPECT_EQ(clap->Latency(), aax->Latency());
  EXPECT_EQ(clap->Latency(), 64) << "oversampling is on";
}

TEST_F(CLAPBundle, RendersLikeTheModuleThroughTheCommandLine) {
  hosttest::ScopedTempDir dir;
  const std::string in = dir.File("in.wav"), key = dir.File("key.wav");
  hosttest::WriteFloatWav(in, 2, 48000, hosttest::MusicSignal(48000, 2, 48000, 0.9));
  hosttest::WriteFloatWav(key, 1, 48000, hosttest::MusicSignal(48000, 1, 48000, 0.5));
  std::vector<std::string> args = {"render", in, "", "--sidechain", key, "--save-state", ""};
  for (const std::string& s : kSettings) args.insert(args.end(), {"--set", s});
  const auto run = [&](const std::string& plugin, const std::string& name) {
    std::vector<std::string> a = args;
    a[2] = dir.File(name + ".wav");
    a[6] = dir.File(name + ".state");
    a.insert(a.end(), {"--module", plugin});
    return RunModuleHost(a);
  };
  const HostRun clap = run(bundle, "clap"), aax = run(module, "aax");
  ASSERT_EQ(clap.status, 0) << clap.err;
  ASSERT_EQ(aax.status, 0) << aax.err;
  EXPECT_NE(clap.out.find("latency 64 samples"), std::string::npos) << clap.out;
  const double difference =
      hosttest::MaxDifference(hosttest::ReadWav(dir.File("clap.wav")), hosttest::ReadWav(dir.File("aax.wav")));
  EXPECT_LE(difference, 1e-6);
  // The state saved through the plug-in gives the same sound, and is no state of the module.
  const HostRun loaded =
      RunModuleHost({"render", in, dir.File("loaded.wav"), "--sidechain", key, "--load-state", dir.File("clap.state"),
                     "--module", bundle});
  ASSERT_EQ(loaded.status, 0) << loaded.err;
  EXPECT_EQ(hosttest::MaxDifference(hosttest::ReadWav(dir.File("clap.wav")), hosttest::ReadWav(dir.File("loaded.wav"))),
            0.0);
  const HostRun foreign = RunModuleHost({"render", in, dir.File("no.wav"), "--load-state", dir.File("aax.state"),
                                         "--module", bundle});
  EXPECT_EQ(foreign.status, 2);
  EXPECT_NE(foreign.err.find("not the plug-in's CLAP"), std::string::npos) << foreign.err;
}

TEST_F(CLAPBundle, DescribesTheModulesParametersAndMeters) {
  std::string error;
  std::unique_ptr<tbhost::PluginInstance> clap = tbhost::PluginLoader::Load(bundle, error);
  ASSERT_TRUE(clap) << error;
  std::unique_ptr<tbhost::PluginInstance> aax = tbhost::PluginLoader::Load(module, error);
  ASSERT_TRUE(aax) << error;
  std::vector<const tbhost::ParamInfo*> settable;
  for (const tbhost::ParamInfo& p : clap->Parameters())
    if (p.settable) settable.push_back(&p);
  size_t k = 0;
  for (const tbhost::ParamInfo& expected : aax->Parameters()) {
    if (!expected.settable) continue;
    ASSERT_LT(k, settable.size());
    const tbhost::ParamInfo& got = *settable[k++];
    EXPECT_EQ(got.name, expected.name);
    EXPECT_EQ(got.min, expected.min) << expected.name;
    EXPECT_EQ(got.max, expected.max) << expected.name;
    EXPECT_EQ(got.defaultValue, expected.defaultValue) << expected.name;
    EXPECT_EQ(got.displayTexts, expected.displayTexts) << expected.name;
  }
  EXPECT_EQ(k, settable.size());
  EXPECT_TRUE(dynamic_cast<tbhost::CLAPPluginInstance&>(*clap).HasBypass());
  // Meters, where the plug-in offers them as read-only values, are the module's.
  for (int m = 0; m < clap->MeterCount(); ++m) {
    bool known = false;
    for (int n = 0; n < aax->MeterCount(); ++n) known |= aax->MeterName(n) == clap->MeterName(m);
    EXPECT_TRUE(known) << clap->MeterName(m);
  }
}

}  // namespace
