#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "IPlug/LV2/ArdourSession.h"
#include "IPlug/LV2/FloatWav.h"
#include "IPlug/LV2/LilvRig.h"
#include "IPlug/LV2/ToolRun.h"
#include "host/TestFiles.h"
#include "product/MusicSignal.h"

// The bundle in Ardour, run headless, with LV2_PATH naming the built bundle and the LV2
// vocabularies only. ardour/session.lua makes a session with a stereo and a mono
// track, renders them with the tracks' bounce with processing (Ardour's session export is not
// reliable headless), applies a factory preset through Ardour's preset interface, and saves,
// closes and reopens the session. Every render must equal tollenbrook-host render with the
// same settings once Ardour's latency compensation has aligned it.
namespace {

using lv2test::Channels;

constexpr int kRate = 48000;
constexpr int kFrames = 24000;
constexpr double kTolerance = 1e-6;
const char* const kStereoSettings = "Compressor Threshold=3;Ratio=4;Oversample=1;Mix=15;High Pass Filter=2";
const char* const kMonoSettings = "Gain=5;Compressor Recovery Time=5;Limit Level=3";
const char* const kPreset = "Loud Master";
// With the plug-in's oversampling latency the key and the main input did not line up in Ardour
// 7.3's real-time recording, so the side-chain run is without oversampling.
const char* const kSideChainSettings = "External Sidechain=1;Oversample=0";

using namespace ardourtest;

Channels Bounced(const std::vector<std::string>& paths) { return ardourtest::Bounced(paths, kRate, kFrames); }

// A real-time recording's channels from the frame where they line up with `expected`.
Channels Recorded(const std::vector<std::string>& paths, const Channels& expected) {
  Channels all;
  for (const std::string& path : paths) all.push_back(ReadMono(path));
  if (all.empty() || expected.empty() || all[0].size() < expected[0].size()) return {};
  const size_t probe = 2000;
  for (size_t start = 0; start + expected[0].size() <= all[0].size(); ++start) {
    bool lined = true;
    for (size_t i = 0; i < probe && lined; ++i) lined = std::fabs(all[0][start + i] - expected[0][i]) <= kTolerance;
    if (!lined) continue;
    Channels out;
    for (const auto& c : all) out.emplace_back(c.begin() + start, c.begin() + start + expected[0].size());
    return out;
  }
  return {};
}

Channels HostRender(const hosttest::ScopedTempDir& dir, const Channels& in, const std::string& settings,
                    const std::vector<std::string>& options) {
  return ardourtest::HostRender(dir, in, kRate, settings, options);
}

// The files of the session's saved plug-in states.
std::vector<std::string> PluginStateFiles(const ArdourSession& session) {
  std::vector<std::string> files;
  std::error_code ec;
  for (const auto& e : std::filesystem::recursive_directory_iterator(session.SessionDir() / "plugins", ec))
    files.push_back(e.path().lexically_relative(session.SessionDir()).string());
  std::sort(files.begin(), files.end());
  return files;
}

Channels Music(int channels, uint32_t seed) {
  const chaintest::MusicSignal music(kFrames, seed);
  Channels out;
  for (int c = 0; c < channels; ++c)
    out.emplace_back(c == 0 ? music.left.begin() : music.right.begin(), c == 0 ? music.left.end() : music.right.end());
  return out;
}

TEST(LV2Ardour, ASessionRendersSavesAndReopensAsTheHostRenders) {
  if (!HaveArdour()) GTEST_SKIP() << "ardour7-lua is not installed (scripts/deps installs the package ardour)";
  if (lv2test::SanitizedBuild()) GTEST_SKIP() << "Ardour cannot load a sanitizer build";
  ArdourSession session("LV2/ardour/session.lua",
                        {"TB_FRAMES=" + std::to_string(kFrames), std::string("TB_STEREO=") + kStereoSettings,
                         std::string("TB_MONO=") + kMonoSettings, std::string("TB_PRESET=") + kPreset,
                         std::string("TB_SIDECHAIN=") + kSideChainSettings});

  const Phase created = session.Run("create");
  ASSERT_EQ(created.status, 0) << created.output;
  const std::map<std::string, Channels> input = {{"Stereo", Music(2, 5)}, {"Mono", Music(1, 9)}, {"Key", Music(1, 13)}};
  for (const auto& [track, audio] : input) {
    const std::vector<std::string> sources = Paths(created.report, "source", track);
    ASSERT_EQ(sources.size(), audio.size()) << created.output;
    for (size_t c = 0; c < sources.size(); ++c) FillSource(sources[c], audio[c]);
  }

  const Phase rendered = session.Run("render");
  ASSERT_EQ(rendered.status, 0) << rendered.output;
  const hosttest::ScopedTempDir& dir = session.Dir();
  const Channels stereo = Bounced(Paths(rendered.report, "bounce", "Stereo", "processed"));
  EXPECT_LE(lv2test::MaxDifference(stereo, HostRender(dir, input.at("Stereo"), kStereoSettings, {})), kTolerance);
  EXPECT_LE(lv2test::MaxDifference(Bounced(Paths(rendered.report, "bounce", "Mono", "processed")),
                          HostRender(dir, input.at("Mono"), kMonoSettings, {})),
            kTolerance);
  EXPECT_GT(lv2test::MaxDifference(stereo, input.at("Stereo")), 0.01) << "the plug-in processed";
  // Ardour's bypass drives the plug-in's enabled port: the input comes back, aligned.
  EXPECT_LE(lv2test::MaxDifference(Bounced(Paths(rendered.report, "bounce", "Stereo", "bypassed")), input.at("Stereo")),
            kTolerance);
  const Channels preset = Bounced(Paths(rendered.report, "bounce", "Mono", "preset"));
  EXPECT_LE(lv2test::MaxDifference(preset, HostRender(dir, input.at("Mono"), "", {"--preset", kPreset})), kTolerance);

  // Reopened, the session has every control and the state it was saved with, and saving it
  // unchanged writes no new plug-in state.
  const std::vector<std::string> states = PluginStateFiles(session);
  ASSERT_FALSE(states.empty());
  const Phase reopened = session.Run("reopen");
  ASSERT_EQ(reopened.status, 0) << reopened.output;
  const std::map<std::string, double> controls = Controls(rendered.report);
  EXPECT_EQ(controls.size(), 2u * 15u);
  EXPECT_EQ(Controls(reopened.report), controls);
  EXPECT_EQ(controls.at("Stereo/Ratio"), 4.0);
  EXPECT_EQ(PluginStateFiles(session), states);
  EXPECT_LE(lv2test::MaxDifference(Bounced(Paths(reopened.report, "bounce", "Stereo", "reopened")), stereo), kTolerance);
  EXPECT_LE(lv2test::MaxDifference(Bounced(Paths(reopened.report, "bounce", "Mono", "reopened")), preset), kTolerance);

  // The key from the key track: the recording starts where Ardour's capture alignment puts
  // it, found from the first frames; from there on every frame agrees.
  const Phase keyed = session.Run("sidechain");
  ASSERT_EQ(keyed.status, 0) << keyed.output;
  lv2test::WriteFloatWav(dir.File("key.wav"), input.at("Key"), kRate);
  const Channels expected = HostRender(dir, input.at("Stereo"), std::string(kStereoSettings) + ";" + kSideChainSettings,
                                       {"--sidechain", dir.File("key.wav")});
  const Channels unkeyed = HostRender(dir, input.at("Stereo"), std::string(kStereoSettings) + ";Oversample=0", {});
  EXPECT_GT(lv2test::MaxDifference(expected, unkeyed), 0.01) << "the key changes the output";
  EXPECT_LE(lv2test::MaxDifference(Recorded(Paths(keyed.report, "bounce", "Capture", "sidechain"), expected), expected),
            kTolerance);
  for (const Phase* p : {&created, &rendered, &reopened, &keyed})
    EXPECT_EQ(p->output.find("Ignored automation data"), std::string::npos) << p->output;
}

}  // namespace
