#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "IPlug/LV2/FloatWav.h"
#include "IPlug/LV2/LilvRig.h"
#include "IPlug/LV2/ToolRun.h"
#include "host/ReferenceWav.h"
#include "host/TestFiles.h"
#include "product/MusicSignal.h"

// The bundle in Ardour, run headless (ardour7-lua on the dummy audio back end, with a scratch
// home, so no user configuration is read or written, and LV2_PATH naming the built bundle and
// the LV2 vocabularies only). ardour/session.lua makes a session with a stereo and a mono
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

bool HaveArdour() { return lv2test::RunTool({"sh", "-c", "command -v ardour7-lua"}).status == 0; }

// The lines "<what>\t<field>..." a phase of session.lua reported, split at the tabs.
using Report = std::vector<std::vector<std::string>>;

struct Phase {
  int status = -1;
  std::string output;
  Report report;
};

class ArdourSession {
public:
  ArdourSession() : mHome(mDir.Path() / "home"), mSession(mDir.Path() / "session") {}

  Phase Run(const std::string& phase) const {
    const char* source = std::getenv("TOLLENBROOK_SOURCE_DIR");
    const std::string script = std::string(source ? source : ".") + "/tests/IPlug/LV2/ardour/session.lua";
    const std::string home = mHome.string();
    const lv2test::ToolRun run = lv2test::RunTool(
        {"env", "-u", "DISPLAY", "HOME=" + home, "XDG_CONFIG_HOME=" + home + "/config", "XDG_DATA_HOME=" + home + "/data",
         "XDG_CACHE_HOME=" + home + "/cache", "TB_PHASE=" + phase, "TB_SESSION_DIR=" + mSession.string(),
         "TB_FRAMES=" + std::to_string(kFrames), std::string("TB_STEREO=") + kStereoSettings,
         std::string("TB_MONO=") + kMonoSettings, std::string("TB_PRESET=") + kPreset,
         std::string("TB_SIDECHAIN=") + kSideChainSettings, "timeout", "120",
         "ardour7-lua", script});
    Phase result{run.status, run.output, {}};
    std::istringstream in(run.output);
    for (std::string line; std::getline(in, line);) {
      std::vector<std::string> fields;
      std::istringstream split(line);
      for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
      if (fields.size() > 1) result.report.push_back(fields);
    }
    return result;
  }

  // The files of the session's saved plug-in states.
  std::vector<std::string> PluginStateFiles() const {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::recursive_directory_iterator(mSession / "plugins", ec))
      files.push_back(e.path().lexically_relative(mSession).string());
    std::sort(files.begin(), files.end());
    return files;
  }

  const hosttest::ScopedTempDir& Dir() const { return mDir; }

private:
  hosttest::ScopedTempDir mDir;
  std::filesystem::path mHome;
  std::filesystem::path mSession;
};

// The field after `what` and `track` (and `label`), in channel order, of every matching line.
std::vector<std::string> Paths(const Report& report, const std::string& what, const std::string& track,
                               const std::string& label = "") {
  std::vector<std::string> paths;
  for (const auto& f : report)
    if (f[0] == what && f[1] == track && (label.empty() || (f.size() > 4 && f[2] == label))) paths.push_back(f.back());
  return paths;
}

std::map<std::string, double> Controls(const Report& report) {
  std::map<std::string, double> controls;
  for (const auto& f : report)
    if (f[0] == "control" && f.size() == 4) controls[f[1] + "/" + f[2]] = std::stod(f[3]);
  return controls;
}

// Ardour's mono source files: the samples of the data chunk are replaced, the header stays.
void FillSource(const std::string& path, const std::vector<float>& samples) {
  std::vector<uint8_t> bytes = hosttest::ReadBytes(path);
  const auto data = std::search(bytes.begin(), bytes.end(), std::begin("data"), std::end("data") - 1);
  ASSERT_NE(data, bytes.end()) << path;
  uint32_t size = 0;
  std::memcpy(&size, &*data + 4, 4);
  ASSERT_EQ(size, samples.size() * sizeof(float)) << path;
  std::memcpy(&*data + 8, samples.data(), size);
  hosttest::WriteBytes(path, bytes);
}

std::vector<float> ReadMono(const std::string& path) {
  hosttest::ReferenceWav w;
  std::string why;
  if (!hosttest::ReferenceWav::Decode(hosttest::ReadBytes(path), w, why) || w.channels != 1) return {};
  return std::vector<float>(w.floats.begin(), w.floats.end());
}

// A bounce's channels from the region's first frame on (the region starts one second in).
Channels Bounced(const std::vector<std::string>& paths) {
  Channels out;
  for (const std::string& path : paths) {
    const std::vector<float> all = ReadMono(path);
    if (all.size() < static_cast<size_t>(kRate + kFrames)) return {};
    out.emplace_back(all.begin() + kRate, all.begin() + kRate + kFrames);
  }
  return out;
}

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

// tollenbrook-host render of `in` with "Name=value;..." settings and the host's options.
Channels HostRender(const hosttest::ScopedTempDir& dir, const Channels& in, const std::string& settings,
                    std::vector<std::string> options) {
  const std::string input = dir.File("host-in.wav"), output = dir.File("host-out.wav");
  lv2test::WriteFloatWav(input, in, kRate);
  std::vector<std::string> args = {lv2test::HostProgram(), "render", input, output};
  std::istringstream split(settings);
  for (std::string setting; std::getline(split, setting, ';');) args.insert(args.end(), {"--set", setting});
  args.insert(args.end(), options.begin(), options.end());
  const lv2test::ToolRun run = lv2test::RunTool(args);
  EXPECT_EQ(run.status, 0) << run.output;
  return lv2test::ReadFloatWav(output);
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
  ArdourSession session;

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
  const std::vector<std::string> states = session.PluginStateFiles();
  ASSERT_FALSE(states.empty());
  const Phase reopened = session.Run("reopen");
  ASSERT_EQ(reopened.status, 0) << reopened.output;
  const std::map<std::string, double> controls = Controls(rendered.report);
  EXPECT_EQ(controls.size(), 2u * 15u);
  EXPECT_EQ(Controls(reopened.report), controls);
  EXPECT_EQ(controls.at("Stereo/Ratio"), 4.0);
  EXPECT_EQ(session.PluginStateFiles(), states);
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
