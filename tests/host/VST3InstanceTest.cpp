#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "host/ModuleFixtures.h"
#include "host/ReportFigures.h"
#include "host/TestFiles.h"
#include "host/WavFixtures.h"
#include "host/cli/PluginLoader.h"
#include "host/cli/StateFile.h"
#include "host/cli/VST3ComponentHandler.h"
#include "host/cli/VST3PluginInstance.h"

// tollenbrook-host through the VST3 bundle, natively and under Wine: the same commands, the
// same sound and the same parameters as through the AAX module.
namespace {

using hosttest::HostRun;
using hosttest::ReadWav;
using hosttest::RunModuleHost;
using tbhost::PluginState;
using tbhost::VST3PluginInstance;

std::string Bundle() {
  const char* bundle = std::getenv("TOLLENBROOK_VST3_BUNDLE");
  return bundle ? bundle : "";
}

struct VST3Instance : ::testing::Test {
  hosttest::ScopedTempDir dir;
  std::string bundle = Bundle();
  std::string module = hosttest::BuiltModule();

  void SetUp() override { ASSERT_FALSE(bundle.empty()) << "the bundle is built with the tests"; }
  HostRun Render(const std::string& plugin, const std::string& in, const std::string& out,
                 std::vector<std::string> more) {
    std::vector<std::string> args = {"render", in, dir.File(out), "--module", plugin};
    args.insert(args.end(), more.begin(), more.end());
    return RunModuleHost(args);
  }
  std::unique_ptr<VST3PluginInstance> Load() {
    std::string error;
    std::unique_ptr<VST3PluginInstance> plugin = VST3PluginInstance::Create(bundle, error);
    EXPECT_NE(plugin, nullptr) << error;
    return plugin;
  }
};

// The acceptance of the bundle: what it renders is what the module renders, to the bit with
// 64-bit samples and within 1e-6 with 32-bit ones, mono and stereo, with the key and the
// oversampling's latency in play.
TEST_F(VST3Instance, RendersWhatTheModuleRenders) {
  const struct {
    int channels;
    bool doubles;
    double tolerance;
    std::vector<std::string> settings;
  } cases[] = {
      {2, true, 0.0, {"--set", "Compressor Threshold=-20dB", "--set", "Limit Level=4dB", "--set", "Oversample=1"}},
      {1, false, 1e-6, {"--set", "Ratio=6:1", "--set", "External Sidechain=1", "--set", "Mix=50/50"}},
      {2, false, 1e-6, {"--set", "Compressor Threshold=-12dB", "--set", "High Pass Filter=160Hz", "--block", "333"}},
  };
  const std::string key = dir.File("key.wav");
  hosttest::WriteFloatWav(key, 1, 44100, hosttest::MusicSignal(44100, 1, 44100, 1.0));
  for (const auto& c : cases) {
    const std::string in = dir.File("in" + std::to_string(c.channels) + ".wav");
    hosttest::WriteFloatWav(in, c.channels, 44100, hosttest::MusicSignal(44100 + 777, c.channels, 44100, 0.9));
    std::vector<std::string> settings = c.settings;
    if (c.channels == 1) settings.insert(settings.end(), {"--sidechain", key});
    std::vector<std::string> vst3Args = settings;
    if (c.doubles) vst3Args.push_back("--double-precision");
    const HostRun vst3 = Render(bundle, in, "vst3.wav", vst3Args);
    const HostRun aax = Render(module, in, "aax.wav", settings);
    ASSERT_EQ(vst3.status, 0) << vst3.err;
    ASSERT_EQ(aax.status, 0) << aax.err;
    const double worst = hosttest::MaxDifference(ReadWav(dir.File("vst3.wav")), ReadWav(dir.File("aax.wav")));
    EXPECT_LE(worst, c.tolerance) << c.settings[1] << (c.doubles ? ", 64-bit" : ", 32-bit");
    EXPECT_EQ(vst3.out.substr(vst3.out.find("latency")), aax.out.substr(aax.out.find("latency")));
    const HostRun plain = Render(bundle, in, "plain.wav", {});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_GT(hosttest::MaxDifference(ReadWav(dir.File("vst3.wav")), ReadWav(dir.File("plain.wav"))), 1e-3)
        << "the settings reached the processor";
  }
}

TEST_F(VST3Instance, DescribesTheModulesParametersMetersAndTheHostBypass) {
  std::unique_ptr<VST3PluginInstance> vst3 = Load();
  std::string error;
  std::unique_ptr<tbhost::PluginInstance> aax = tbhost::PluginLoader::Load(module, error);
  ASSERT_TRUE(vst3 && aax) << error;
  std::vector<tbhost::ParamInfo> settable;
  for (const tbhost::ParamInfo& p : aax->Parameters())
    if (p.settable) settable.push_back(p);
  ASSERT_EQ(vst3->Parameters().size(), settable.size());
  for (size_t k = 0; k < settable.size(); ++k) {
    const tbhost::ParamInfo& mine = vst3->Parameters()[k];
    EXPECT_EQ(mine.name, settable[k].name);
    EXPECT_EQ(mine.min, settable[k].min) << mine.name;
    EXPECT_EQ(mine.max, settable[k].max) << mine.name;
    EXPECT_EQ(mine.defaultValue, settable[k].defaultValue) << mine.name;
    // The module's texts are the plug-in's own; the controller shows the same for each step.
    for (const auto& [value, text] : settable[k].displayTexts) EXPECT_EQ(mine.DisplayFor(value), text) << mine.name;
  }
  ASSERT_EQ(vst3->MeterCount(), 2);
  for (int m = 0; m < 2; ++m) EXPECT_NE(vst3->MeterName(m).find("Reduction"), std::string::npos) << vst3->MeterName(m);
  EXPECT_GE(vst3->BypassID(), 0) << "a parameter flagged as the host's bypass";
  for (size_t k = 0; k < settable.size(); ++k) EXPECT_NE(vst3->ParamID(static_cast<int>(k)), vst3->BypassID());
}

// The host bypass (1 = bypassed) gives the input back once its crossfade is over; the meters
// come back through the output parameter changes while the plug-in works.
TEST_F(VST3Instance, TheHostBypassGivesTheInputBackAndMetersMove) {
  std::unique_ptr<VST3PluginInstance> plugin = Load();
  ASSERT_TRUE(plugin);
  std::string error;
  ASSERT_TRUE(plugin->Initialise(44100, 2, false, error)) << error;
  plugin->SetParameter(0, 0.0);  // the lowest threshold: the compressor works
  const std::vector<double> music = hosttest::MusicSignal(8192, 2, 44100, 1.0);
  std::vector<float> in[2], out[2];
  for (int c = 0; c < 2; ++c) {
    in[c].resize(4096);
    out[c].assign(4096, 0.0f);
    for (size_t i = 0; i < 4096; ++i) in[c][i] = static_cast<float>(music[2 * (4096 + i) + static_cast<size_t>(c)]);
  }
  const float* ins[2] = {in[0].data(), in[1].data()};
  float* outs[2] = {out[0].data(), out[1].data()};
  for (int block = 0; block < 8; ++block) plugin->ProcessBlock(ins, nullptr, outs, 4096);
  double reduction = 0.0;
  for (int m = 0; m < plugin->MeterCount(); ++m) reduction = std::max(reduction, std::fabs(plugin->MeterValue(m)));
  EXPECT_GT(reduction, 0.5) << "the meters show the gain reduction";
  EXPECT_GT(std::fabs(out[0][4000] - in[0][4000]), 1e-4) << "the plug-in works";
  plugin->SetNormalized(static_cast<v3_param_id>(plugin->BypassID()), 1.0);
  for (int block = 0; block < 4; ++block) plugin->ProcessBlock(ins, nullptr, outs, 4096);
  for (int c = 0; c < 2; ++c)
    for (size_t i = 0; i < 4096; ++i) ASSERT_EQ(out[c][i], in[c][i]) << "channel " << c << ", frame " << i;
}

// A state the plug-in gave comes back whole into a fresh instance; a damaged or foreign one is
// refused with a reason and changes nothing.
TEST_F(VST3Instance, StatesRoundTripAndDamagedOnesChangeNothing) {
  std::unique_ptr<VST3PluginInstance> plugin = Load();
  ASSERT_TRUE(plugin);
  std::string error;
  plugin->SetParameter(4, 4.0);  // Ratio 6:1
  plugin->SetParameter(2, 7.0);  // Gain 7dB
  PluginState saved;
  ASSERT_TRUE(plugin->SaveState(saved, error)) << error;
  EXPECT_EQ(saved.format, "VST3");
  std::unique_ptr<tbhost::PluginInstance> fresh = plugin->NewInstance(error);
  ASSERT_TRUE(fresh) << error;
  PluginState before;
  ASSERT_TRUE(fresh->SaveState(before, error));
  EXPECT_NE(before.bytes, saved.bytes);
  const std::vector<uint8_t> half(saved.bytes.begin(), saved.bytes.begin() + saved.bytes.size() / 2);
  const std::vector<uint8_t> shortByOne(saved.bytes.begin(), saved.bytes.end() - 1);
  for (const PluginState& bad : {PluginState{"VST3", {}}, PluginState{"VST3", half}, PluginState{"VST3", shortByOne},
                                 PluginState{"'TLK1'", saved.bytes}}) {
    std::string why;
    EXPECT_FALSE(fresh->LoadState(bad, why)) << bad.bytes.size() << " bytes of " << bad.format;
    EXPECT_FALSE(why.empty());
    PluginState after;
    ASSERT_TRUE(fresh->SaveState(after, error));
    EXPECT_EQ(after.bytes, before.bytes) << "a refused state changes nothing";
  }
  ASSERT_TRUE(fresh->LoadState(saved, error)) << error;
  PluginState again;
  ASSERT_TRUE(fresh->SaveState(again, error));
  EXPECT_EQ(again.bytes, saved.bytes);
  // The controller was told: it shows the loaded values.
  auto& loaded = static_cast<VST3PluginInstance&>(*fresh);
  const auto& c = loaded.Controller();
  const double ratio = c->get_parameter_normalised(c.Get(), static_cast<v3_param_id>(loaded.ParamID(4)));
  EXPECT_EQ(c->normalised_parameter_to_plain(c.Get(), static_cast<v3_param_id>(loaded.ParamID(4)), ratio), 4.0);
}

TEST_F(VST3Instance, ADamagedStateFileIsRefusedBeforeAnythingIsRendered) {
  const std::string in = dir.File("in.wav");
  hosttest::WriteFloatWav(in, 2, 44100, hosttest::MusicSignal(4410, 2, 44100, 0.5));
  const std::string state = dir.File("state.vst3state");
  ASSERT_EQ(Render(bundle, in, "saved.wav", {"--set", "Gain=5", "--save-state", state}).status, 0);
  // The file stays a well-formed state file; the plug-in's bytes in it lose their end.
  PluginState saved;
  std::string error;
  ASSERT_TRUE(tbhost::StateFile::Read(state, saved, error)) << error;
  ASSERT_GT(saved.bytes.size(), 20u);
  saved.bytes.resize(saved.bytes.size() - 17);
  ASSERT_TRUE(tbhost::StateFile::Write(state, saved, error)) << error;
  const HostRun refused = Render(bundle, in, "never.wav", {"--load-state", state});
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("state " + state + " does not hold a state the plug-in accepts"), std::string::npos)
      << refused.err;
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "never.wav"));
}

// What the editor performs through the host's component handler reaches the processor as the
// host's own changes do; a latency change is announced from the host's thread, never from
// within a process call.
TEST_F(VST3Instance, EditsAndLatencyRestartsTakeTheHostsRoads) {
  std::unique_ptr<VST3PluginInstance> plugin = Load(), reference = Load();
  ASSERT_TRUE(plugin && reference);
  tbhost::VST3ComponentHandler& handler = plugin->Handler();
  v3_component_handler** h = handler.Interface();
  const auto ratio = static_cast<v3_param_id>(plugin->ParamID(4));
  v3_cpp_obj(h)->begin_edit(h, ratio);
  v3_cpp_obj(h)->perform_edit(h, ratio, 1.0);
  v3_cpp_obj(h)->end_edit(h, ratio);
  EXPECT_EQ(handler.editsOutsideGestures.load(), 0);
  reference->SetParameter(4, 4.0);
  PluginState edited, set;
  std::string error;
  ASSERT_TRUE(plugin->SaveState(edited, error) && reference->SaveState(set, error)) << error;
  EXPECT_EQ(edited.bytes, set.bytes);
  v3_cpp_obj(h)->perform_edit(h, ratio, 0.0);
  EXPECT_EQ(handler.editsOutsideGestures.load(), 1) << "an edit outside a gesture is counted";

  int oversample = -1;
  for (const tbhost::ParamInfo& p : plugin->Parameters())
    if (p.name == "Oversample") oversample = p.index;
  ASSERT_GE(oversample, 0);
  ASSERT_TRUE(plugin->Initialise(48000, 2, false, error)) << error;
  handler.TakeRestartFlags();
  plugin->SetParameter(oversample, 1.0);
  std::vector<float> buffer(512, 0.0f);
  const float* ins[2] = {buffer.data(), buffer.data()};
  float* outs[2] = {buffer.data(), buffer.data()};
  plugin->ProcessBlock(ins, nullptr, outs, 512);
  EXPECT_EQ(plugin->Latency(), 64);
  plugin->ShowMetersInController();  // the host's next call on the controller
  EXPECT_TRUE(handler.TakeRestartFlags() & V3_RESTART_LATENCY_CHANGED);
  EXPECT_EQ(handler.restartsFromAudioThread.load(), 0);
}

}  // namespace
