#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "host/ModuleFixtures.h"
#include "host/TestFiles.h"
#include "host/WavFixtures.h"
#include "host/cli/HostMain.h"
#include "host/cli/InProcessPluginInstance.h"
#include "host/cli/ParamResolver.h"
#include "IPlug/AAX/IPlugAAX.h"
#include "product/TollenbrookParams.h"

// Renders through the real plug-in, the whole way from the command line to the output file.
namespace {

using hosttest::Channel;
using hosttest::Interleave;
using hosttest::ReadWav;
using hosttest::TestSignal;
using hosttest::WritePcm16;

using hosttest::HostRun;

// The command line with the plug-in linked into the host.
HostRun Host(const std::vector<std::string>& args) { return hosttest::RunInProcessHost(args); }

std::vector<tbhost::ParamInfo> RealTable() {
  std::string error;
  auto plugin = tbhost::InProcessPluginInstance::Create(error);
  EXPECT_TRUE(plugin) << error;
  return plugin ? plugin->Parameters() : std::vector<tbhost::ParamInfo>{};
}

double RmsDb(const std::vector<int64_t>& q, size_t from = 0) {
  double sum = 0.0;
  for (size_t i = from; i < q.size(); ++i) sum += static_cast<double>(q[i]) * static_cast<double>(q[i]);
  return 10.0 * std::log10(sum / static_cast<double>(q.size() - from) / (32768.0 * 32768.0) + 1e-30);
}

TEST(PluginParameters, SettingsResolveOnThePlugInsOwnTable) {
  const std::vector<tbhost::ParamInfo> table = RealTable();
  ASSERT_EQ(table.size(), static_cast<size_t>(kNumParams));
  const tbhost::ParamResolver resolver(table);
  const struct {
    const char* text;
    int index;
    double value;
  } good[] = {
      {"Ratio=4:1", kParamRatio, 3},
      {"Compressor Threshold=-12dB", kParamCompThreshold, 4},
      {"Compressor Threshold=10dB", kParamCompThreshold, 15},
      {"Oversample=Oversampling On", kParamOversample, 1},
      {"Bypass=0", kParamBypass, 0},
      {"4=3", kParamRatio, 3},
      {"Limit Level=7dB", kParamLimitLevel, 6},
      {"Mix=50/50", kParamMix, 11},
      {"Gain=20dB", kParamGain, 20},
      {"Gain=20", kParamGain, 20},
      {"High Pass Filter=OFF", kParamHighPass, 0},
      {"Compressor Recovery Time=Auto-1", kParamCompRecovery, 4},
      {"Level Recovery Time=800ms", kParamLevelRecovery, 3},
      {"External Sidechain=1", kParamExtSidechain, 1},
      {"High=-3dB", kParamHigh, 1},
      {"Mid=6dB", kParamMid, 4},
  };
  for (const auto& g : good) {
    tbhost::ParamSetting s;
    std::string error;
    ASSERT_TRUE(resolver.Resolve(g.text, s, error)) << g.text << ": " << error;
    EXPECT_EQ(s.index, g.index) << g.text;
    EXPECT_EQ(s.value, g.value) << g.text;
  }
  for (const char* bad : {"Ratio=5:1", "Ratio=2.5", "Gain=21", "Gain=-1", "Bypass=2", "12=0", "13=1", "15=0",
                          "Compressor Threshold=-13dB", "Oversample=On", "Limiter=1", "Mix=50"}) {
    tbhost::ParamSetting s;
    std::string error;
    EXPECT_FALSE(resolver.Resolve(bad, s, error)) << bad << " resolved to " << s.index << "=" << s.value;
  }
}

TEST(PluginParameters, HostChangesLandOnTheExactValue) {
  std::string error;
  auto instance = tbhost::InProcessPluginInstance::Create(error);
  ASSERT_TRUE(instance) << error;
  auto& plugin = static_cast<tbhost::InProcessPluginInstance&>(*instance).Plugin();
  for (const tbhost::ParamInfo& p : instance->Parameters()) {
    if (!p.settable) continue;
    for (double v = p.min; v <= p.max; v += p.step) {
      instance->SetParameter(p.index, v);
      EXPECT_EQ(plugin.GetParam(p.index)->Value(), v) << p.name;
    }
  }
}

TEST(PluginParameters, AnIndexOutsideTheTableChangesNothing) {
  std::string error;
  auto instance = tbhost::InProcessPluginInstance::Create(error);
  ASSERT_TRUE(instance) << error;
  tbhost::PluginState before, after;
  ASSERT_TRUE(instance->SaveState(before, error)) << error;
  const int count = static_cast<int>(instance->Parameters().size());
  for (int index : {-1, count, count + 1000}) instance->SetParameter(index, 1.0);
  ASSERT_TRUE(instance->SaveState(after, error)) << error;
  EXPECT_EQ(after.bytes, before.bytes);
}

TEST(PluginRender, SwitchedOutThePlugInPassesTheInputUnchanged) {
  hosttest::ScopedTempDir dir;
  const auto left = TestSignal(20000, 0.8, 11), right = TestSignal(20000, 0.6, 12);
  WritePcm16(dir.File("st.wav"), 2, 48000, Interleave({left, right}));
  WritePcm16(dir.File("mono.wav"), 1, 48000, left);
  for (const char* name : {"st.wav", "mono.wav"}) {
    const HostRun r = Host({"render", dir.File(name), dir.File("out.wav"), "--set", "Bypass=0", "--set", "Gain=12dB"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadWav(dir.File("out.wav")).ints, ReadWav(dir.File(name)).ints) << name;
  }
}

TEST(PluginRender, AMonoInputComesOutOfTheLeftOutput) {
  hosttest::ScopedTempDir dir;
  const auto signal = TestSignal(24000, 0.7, 13);
  WritePcm16(dir.File("mono.wav"), 1, 44100, signal);
  WritePcm16(dir.File("left.wav"), 2, 44100, Interleave({signal, std::vector<int64_t>(signal.size(), 0)}));
  const std::vector<std::string> setting = {"--set", "Compressor Threshold=-12dB", "--set", "Ratio=6:1"};
  auto args = [&](const char* in, const char* out) {
    std::vector<std::string> a = {"render", dir.File(in), dir.File(out)};
    a.insert(a.end(), setting.begin(), setting.end());
    return a;
  };
  ASSERT_EQ(Host(args("mono.wav", "mono-out.wav")).status, 0);
  ASSERT_EQ(Host(args("left.wav", "left-out.wav")).status, 0);
  const hosttest::ReferenceWav mono = ReadWav(dir.File("mono-out.wav"));
  EXPECT_EQ(mono.channels, 1);
  EXPECT_EQ(mono.sampleRate, 44100u);
  // A mono insert is the stereo chain with a silent right input: its left output.
  EXPECT_EQ(mono.ints, Channel(ReadWav(dir.File("left-out.wav")), 0));
  EXPECT_LT(RmsDb(mono.ints), RmsDb(signal) - 3.0) << "the compressor acted on the signal";
}


class SideChain : public ::testing::TestWithParam<int> {};

TEST_P(SideChain, TheKeyDrivesTheGainReductionOnInputChannelTwo) {
  const int channels = GetParam();
  hosttest::ScopedTempDir dir;
  const int frames = 48000;
  const auto main = TestSignal(frames, 0.25, 14);
  WritePcm16(dir.File("main.wav"), channels, 48000,
             channels == 1 ? main : Interleave({main, TestSignal(frames, 0.25, 15)}));
  WritePcm16(dir.File("silent.wav"), 1, 48000, std::vector<int64_t>(frames, 0));
  const auto loud = TestSignal(frames / 2, 0.9, 16);  // half as long: silence after its end
  WritePcm16(dir.File("loud.wav"), 1, 48000, loud);
  std::vector<int64_t> negated(loud.size());
  for (size_t i = 0; i < loud.size(); ++i) negated[i] = -loud[i];
  WritePcm16(dir.File("cancel.wav"), 2, 48000, Interleave({loud, negated}));
  WritePcm16(dir.File("nothing.wav"), channels, 48000, std::vector<int64_t>(frames * channels, 0));

  auto render = [&](const char* in, const char* key, const char* out) {
    const HostRun r = Host({"render", dir.File(in), dir.File(out), "--sidechain", dir.File(key), "--set",
                            "External Sidechain=1", "--set", "Compressor Threshold=-20dB", "--set", "Limit Level=4dB"});
    EXPECT_EQ(r.status, 0) << r.err;
    return ReadWav(dir.File(out));
  };
  const auto quietKey = render("main.wav", "silent.wav", "q.wav");
  const auto loudKey = render("main.wav", "loud.wav", "l.wav");
  const auto cancelled = render("main.wav", "cancel.wav", "c.wav");
  ASSERT_EQ(quietKey.channels, channels);
  // Deep reduction while the key plays; none from a silent key, which leaves the main input
  // at its own level (the colour stage only).
  const auto q0 = Channel(quietKey, 0), l0 = Channel(loudKey, 0);
  const std::vector<int64_t> qFirst(q0.begin(), q0.begin() + frames / 2), lFirst(l0.begin(), l0.begin() + frames / 2);
  EXPECT_LT(RmsDb(lFirst), RmsDb(qFirst) - 10.0);
  EXPECT_NEAR(RmsDb(qFirst), RmsDb(std::vector<int64_t>(main.begin(), main.begin() + frames / 2)), 1.0);
  // The key's two channels are averaged into one: opposite channels cancel to silence.
  EXPECT_EQ(cancelled.ints, quietKey.ints);
  // The key is only listened to, never heard.
  const auto keyOnly = render("nothing.wav", "loud.wav", "k.wav");
  EXPECT_LT(RmsDb(keyOnly.ints), -90.0);
}

INSTANTIATE_TEST_SUITE_P(MonoAndStereoMain, SideChain, ::testing::Values(1, 2));

TEST(PluginRender, OversampledOutputIsAlignedWithTheInputUnlessTheLatencyIsKept) {
  hosttest::ScopedTempDir dir;
  const auto left = TestSignal(6000, 0.5, 17), right = TestSignal(6000, 0.5, 18);
  WritePcm16(dir.File("in.wav"), 2, 48000, Interleave({left, right}));
  // All dry: the dry path is delayed by exactly the reported latency.
  const std::vector<std::string> dry = {"--set", "Oversample=Oversampling On", "--set", "Mix=100/0"};
  auto with = [&](std::vector<std::string> a, const std::vector<std::string>& more) {
    a.insert(a.end(), more.begin(), more.end());
    return a;
  };
  ASSERT_EQ(Host(with({"render", dir.File("in.wav"), dir.File("a.wav")}, dry)).status, 0);
  EXPECT_EQ(Channel(ReadWav(dir.File("a.wav")), 0), left);
  EXPECT_EQ(Channel(ReadWav(dir.File("a.wav")), 1), right);
  ASSERT_EQ(Host(with({"render", dir.File("in.wav"), dir.File("k.wav"), "--keep-latency"}, dry)).status, 0);
  std::vector<int64_t> delayed(64, 0);
  delayed.insert(delayed.end(), left.begin(), left.end() - 64);
  EXPECT_EQ(Channel(ReadWav(dir.File("k.wav")), 0), delayed);

  // All wet: an isolated click comes out where it went in.
  std::vector<int64_t> clicks(6000, 0);
  clicks[1000] = 6000;
  clicks[4000] = -6000;
  WritePcm16(dir.File("clicks.wav"), 1, 48000, clicks);
  ASSERT_EQ(Host({"render", dir.File("clicks.wav"), dir.File("w.wav"), "--set", "Oversample=Oversampling On"}).status, 0);
  const auto wet = ReadWav(dir.File("w.wav")).ints;
  ASSERT_EQ(wet.size(), clicks.size());
  auto peakAt = [&](size_t from, size_t to) {
    size_t at = from;
    for (size_t i = from; i < to; ++i)
      if (std::llabs(wet[i]) > std::llabs(wet[at])) at = i;
    return at;
  };
  EXPECT_EQ(peakAt(0, 2500), 1000u);
  EXPECT_EQ(peakAt(2500, 6000), 4000u);
}


// The numbers of one row of the demo's per-second table: RMS in and out, then average and
// deepest reduction of the compressor and of the limiter.
std::vector<double> DemoRow(const std::string& summary, const std::string& label) {
  const size_t at = summary.find("\n" + label);
  std::vector<double> values;
  if (at == std::string::npos) return values;
  std::istringstream line(summary.substr(at + 1 + label.size(), summary.find('\n', at + 1) - at - 1 - label.size()));
  for (double v; line >> v;) values.push_back(v);
  return values;
}

TEST(PluginRender, TheDemoCompressesTheLoudPassagesAndLiftsTheQuietOnes) {
  hosttest::ScopedTempDir dir;
  const HostRun r = Host({"demo", dir.File("demo")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadWav(dir.File("demo/demo-input.wav")).Frames(), 480000);
  EXPECT_EQ(ReadWav(dir.File("demo/demo-output.wav")).Frames(), 480000);
  const std::vector<double> intro = DemoRow(r.out, "    0-1 s"), loud = DemoRow(r.out, "    5-6 s"),
                            fill = DemoRow(r.out, "    7-8 s");
  ASSERT_EQ(intro.size(), 6u) << r.out;
  ASSERT_EQ(loud.size(), 6u) << r.out;
  ASSERT_EQ(fill.size(), 6u) << r.out;
  EXPECT_LT(intro[2], 1.0) << "little compression in the quiet intro";
  EXPECT_GT(loud[2], 3.0) << "the compressor works in the loud bars";
  EXPECT_GT(fill[5], 1.0) << "the limiter catches the snare fill";
  // Less distance between quiet and loud passages after the render than before it.
  EXPECT_LT(loud[1] - intro[1], loud[0] - intro[0] - 6.0) << r.out;
}

TEST(PluginRender, TheSameBytesWhateverTheBlockSize) {
  hosttest::ScopedTempDir dir;
  const int frames = 3 * 48000 + 77;
  std::vector<int64_t> left = TestSignal(frames, 0.9, 19), right = TestSignal(frames, 0.4, 20);
  for (int i = 48000; i < 96000; ++i) left[static_cast<size_t>(i)] /= 20;  // a quiet second between loud ones
  WritePcm16(dir.File("in.wav"), 2, 48000, Interleave({left, right}));
  std::vector<uint8_t> first;
  for (const char* block : {"64", "512", "4096"}) {
    const std::string out = dir.File(std::string("out-") + block + ".wav");
    const HostRun r = Host({"render", dir.File("in.wav"), out, "--block", block, "--set", "Oversample=Oversampling On",
                            "--set", "Compressor Threshold=-8dB", "--set", "Ratio=4:1", "--set", "Limit Level=6dB",
                            "--set", "Compressor Recovery Time=Auto-2", "--set", "Gain=6dB", "--set", "Mix=85/15"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<uint8_t> bytes = hosttest::ReadBytes(out);
    if (first.empty())
      first = bytes;
    else
      EXPECT_TRUE(bytes == first) << "block " << block << " differs from block 64";
  }
}

}  // namespace
