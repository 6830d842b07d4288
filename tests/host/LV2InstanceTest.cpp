#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "host/ModuleFixtures.h"
#include "host/ReportFigures.h"
#include "host/TestFiles.h"
#include "host/WavFixtures.h"

// tollenbrook-host through the LV2 bundle (Linux): the same commands as through the AAX module,
// with the parameters, meters and state the bundle itself describes.
namespace {

#ifndef _WIN32
using hosttest::Figures;
using hosttest::HostRun;
using hosttest::ReadWav;
using hosttest::RunModuleHost;

std::string Bundle() {
  const char* bundle = std::getenv("TOLLENBROOK_LV2_BUNDLE");
  return bundle ? bundle : "";
}

struct LV2Instance : ::testing::Test {
  hosttest::ScopedTempDir dir;
  std::string bundle = Bundle();
  std::string module = hosttest::BuiltModule();
  std::string in;

  void SetUp() override {
    ASSERT_FALSE(bundle.empty()) << "the bundle is built with the tests";
    in = dir.File("in.wav");
    hosttest::WriteFloatWav(in, 2, 44100, hosttest::MusicSignal(2 * 44100, 2, 44100, 0.9));
  }
  HostRun Render(const std::string& plugin, const std::string& out, std::vector<std::string> more) {
    std::vector<std::string> args = {"render", in, dir.File(out), "--module", plugin};
    args.insert(args.end(), more.begin(), more.end());
    return RunModuleHost(args);
  }
};

TEST_F(LV2Instance, TheBundleDescribesTheSameSettableParametersAsTheModule) {
  const HostRun lv2 = RunModuleHost({"params", "--module", bundle});
  const HostRun aax = RunModuleHost({"params", "--module", module});
  ASSERT_EQ(lv2.status, 0) << lv2.err;
  for (const char* name : {"Compressor Threshold", "Ratio", "Oversample", "External Sidechain", "Mix"})
    EXPECT_NE(lv2.out.find(name), std::string::npos) << name;
  EXPECT_NE(lv2.out.find("Oversampling On"), std::string::npos) << "scale points are display texts";
  EXPECT_EQ(lv2.out.find("(meter channel)"), std::string::npos) << "meters are no parameters";
  const HostRun described = RunModuleHost({"describe", "--module", bundle});
  ASSERT_EQ(described.status, 0) << described.err;
  EXPECT_NE(described.out.find("Meters: 2"), std::string::npos) << described.out;
  EXPECT_NE(described.out.find("Compressor Gain Reduction"), std::string::npos);
  EXPECT_NE(described.out.find("State: LV2 state "), std::string::npos);
  ASSERT_EQ(aax.status, 0) << aax.err;
}

TEST_F(LV2Instance, ReportsTheGainReductionItsMetersGiveAsTheModuleDoes) {
  const std::vector<std::string> settings = {"--set", "Compressor Threshold=-20dB", "--set", "Limit Level=4dB"};
  std::vector<std::string> lv2Args = settings, aaxArgs = settings;
  lv2Args.insert(lv2Args.end(), {"--report-json", dir.File("lv2.json")});
  aaxArgs.insert(aaxArgs.end(), {"--report-json", dir.File("aax.json")});
  const HostRun lv2 = Render(bundle, "lv2.wav", lv2Args);
  const HostRun aax = Render(module, "aax.wav", aaxArgs);
  ASSERT_EQ(lv2.status, 0) << lv2.err;
  ASSERT_EQ(aax.status, 0) << aax.err;
  EXPECT_LT(hosttest::MaxDifference(ReadWav(dir.File("lv2.wav")), ReadWav(dir.File("aax.wav"))), 1e-6);
  const auto bytes = [&](const char* name) {
    const std::vector<uint8_t> b = hosttest::ReadBytes(dir.File(name));
    return std::string(b.begin(), b.end());
  };
  for (const char* key : {"compressorAverageDb", "compressorMaxDb", "limiterAverageDb", "limiterMaxDb"}) {
    const std::vector<double> fromLV2 = Figures(bytes("lv2.json"), key);
    const std::vector<double> fromAAX = Figures(bytes("aax.json"), key);
    ASSERT_EQ(fromLV2.size(), fromAAX.size()) << key;
    ASSERT_GE(fromLV2.size(), 3u) << key << ": the whole file and two seconds";
    for (size_t i = 0; i < fromLV2.size(); ++i) EXPECT_NEAR(fromLV2[i], fromAAX[i], 1e-4) << key << " " << i;
  }
  EXPECT_GT(Figures(bytes("lv2.json"), "compressorMaxDb")[0], 1.0) << "the settings make the compressor work";
}

TEST_F(LV2Instance, PresetsAndProgramFilesApplyAsThroughTheModule) {
  const std::string program = dir.File("set.fxp");
  ASSERT_EQ(Render(module, "saved.wav", {"--set", "Gain=6", "--save-program", program}).status, 0);
  for (const std::vector<std::string>& start :
       {std::vector<std::string>{"--preset", "Loud Master"}, std::vector<std::string>{"--load-program", program}}) {
    std::vector<std::string> lv2Args = start, aaxArgs = start;
    lv2Args.insert(lv2Args.end(), {"--report-json", dir.File("lv2.json")});
    const HostRun lv2 = Render(bundle, "lv2.wav", lv2Args);
    const HostRun aax = Render(module, "aax.wav", aaxArgs);
    ASSERT_EQ(lv2.status, 0) << lv2.err;
    ASSERT_EQ(aax.status, 0) << aax.err;
    EXPECT_LT(hosttest::MaxDifference(ReadWav(dir.File("lv2.wav")), ReadWav(dir.File("aax.wav"))), 1e-6) << start[0];
    ASSERT_EQ(Render(bundle, "plain.wav", {}).status, 0);
    EXPECT_GT(hosttest::MaxDifference(ReadWav(dir.File("lv2.wav")), ReadWav(dir.File("plain.wav"))), 1e-3) << start[0];
    const std::vector<uint8_t> json = hosttest::ReadBytes(dir.File("lv2.json"));
    EXPECT_FALSE(Figures(std::string(json.begin(), json.end()), "compressorMaxDb").empty()) << start[0];
  }
}

TEST_F(LV2Instance, AStateSavedThroughTheBundleRestoresTheSettings) {
  const std::string state = dir.File("state.lv2state");
  ASSERT_EQ(Render(bundle, "set.wav", {"--set", "Ratio=6:1", "--set", "Mix=50/50", "--save-state", state}).status, 0);
  const HostRun loaded = Render(bundle, "loaded.wav", {"--load-state", state});
  ASSERT_EQ(loaded.status, 0) << loaded.err;
  EXPECT_EQ(hosttest::MaxDifference(ReadWav(dir.File("set.wav")), ReadWav(dir.File("loaded.wav"))), 0.0);
  const HostRun plain = Render(bundle, "plain.wav", {});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_GT(hosttest::MaxDifference(ReadWav(dir.File("set.wav")), ReadWav(dir.File("plain.wav"))), 1e-3);
  // A state of the AAX module is no state of the bundle.
  const std::string chunk = dir.File("state.tlk");
  ASSERT_EQ(Render(module, "m.wav", {"--save-state", chunk}).status, 0);
  const HostRun refused = Render(bundle, "no.wav", {"--load-state", chunk});
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("not the plug-in's LV2 state"), std::string::npos) << refused.err;
}
#endif

}  // namespace
