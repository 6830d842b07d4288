#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "IPlug/LV2/FloatWav.h"
#include "IPlug/LV2/LilvRig.h"
#include "IPlug/LV2/ToolRun.h"
#include "IPlug/VST3/VST3Rig.h"
#include "host/ReferenceWav.h"
#include "host/TestFiles.h"
#include "product/MusicSignal.h"

// The VST3 bundle in Ardour, run headless (ardour7-lua on the dummy audio back end, with a
// scratch home, so no user configuration is read or written; the bundle is scanned with
// Ardour's own scanner into that home and found through VST3_PATH). ardour/session.lua makes a
// session with a stereo track, renders it with the track's bounce with processing (Ardour's
// session export is not reliable headless), with the host's bypass, and saves, closes and
// reopens the session. The renders must equal tollenbrook-host render (the AAX module) with the
// same settings once Ardour's latency compensation has aligned them.
namespace {

using lv2test::Channels;

constexpr int kRate = 48000;
constexpr int kFrames = 24000;
constexpr double kTolerance = 1e-6;
// Ardour's controls take the parameters' own values (the value indices).
const char* const kSettings = "Compressor Threshold=3;Ratio=4;Oversample=1;Mix=15;High Pass Filter=2";

bool HaveArdour() { return lv2test::RunTool({"sh", "-c", "command -v ardour7-lua"}).status == 0; }

using Report = std::vector<std::vector<std::string>>;

struct Phase {
  int status = -1;
  std::string output;
  Report report;
};

class ArdourSession {
public:
  ArdourSession() : mHome((mDir.Path() / "home").string()), mSession((mDir.Path() / "session").string()) {}

  std::vector<std::string> Environment() const {
    return {"env", "-u", "DISPLAY", "HOME=" + mHome, "XDG_CONFIG_HOME=" + mHome + "/config",
            "XDG_DATA_HOME=" + mHome + "/data", "XDG_CACHE_HOME=" + mHome + "/cache",
            "VST3_PATH=" + std::filesystem::path(vst3test::BundlePath()).parent_path().string()};
  }

  // Ardour's scanner, as Ardour runs it for a new bundle, writes what Ardour then loads from.
  lv2test::ToolRun Scan() const {
    std::vector<std::string> args = Environment();
    args.insert(args.end(), {"LD_LIBRARY_PATH=/usr/lib/ardour7", "timeout", "60", "/usr/lib/ardour7/ardour-vst3-scanner",
                             vst3test::BundlePath()});
    return lv2test::RunTool(args);
  }

  Phase Run(const std::string& phase) const {
    const char* source = std::getenv("TOLLENBROOK_SOURCE_DIR");
    std::vector<std::string> args = Environment();
    args.insert(args.end(), {"TB_PHASE=" + phase, "TB_SESSION_DIR=" + mSession, "TB_FRAMES=" + std::to_string(kFrames),
                             std::string("TB_SETTINGS=") + kSettings, "timeout", "120", "ardour7-lua",
                             std::string(source ? source : ".") + "/tests/IPlug/VST3/ardour/session.lua"});
    const lv2test::ToolRun run = lv2test::RunTool(args);
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

  const hosttest::ScopedTempDir& Dir() const { return mDir; }

private:
  hosttest::ScopedTempDir mDir;
  std::string mHome;
  std::string mSession;
};

std::vector<std::string> Paths(const Report& report, const std::string& what, const std::string& label = "") {
  std::vector<std::string> paths;
  for (const auto& f : report)
    if (f[0] == what && (label.empty() || (f.size() > 4 && f[2] == label))) paths.push_back(f.back());
  return paths;
}

std::map<std::string, double> Controls(const Report& report) {
  std::map<std::string, double> controls;
  for (const auto& f : report)
    if (f[0] == "control" && f.size() == 4) controls[f[2]] = std::stod(f[3]);
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

// A bounce's channels from the region's first frame on (the region starts one second in).
Channels Bounced(const std::vector<std::string>& paths) {
  Channels out;
  for (const std::string& path : paths) {
    hosttest::ReferenceWav w;
    std::string why;
    if (!hosttest::ReferenceWav::Decode(hosttest::ReadBytes(path), w, why) || w.channels != 1 ||
        w.floats.size() < static_cast<size_t>(kRate + kFrames))
      return {};
    out.emplace_back(w.floats.begin() + kRate, w.floats.begin() + kRate + kFrames);
  }
  return out;
}

Channels HostRender(const hosttest::ScopedTempDir& dir, const Channels& in) {
  const std::string input = dir.File("host-in.wav"), output = dir.File("host-out.wav");
  lv2test::WriteFloatWav(input, in, kRate);
  std::vector<std::string> args = {lv2test::HostProgram(), "render", input, output};
  std::istringstream split(kSettings);
  for (std::string setting; std::getline(split, setting, ';');) args.insert(args.end(), {"--set", setting});
  const lv2test::ToolRun run = lv2test::RunTool(args);
  EXPECT_EQ(run.status, 0) << run.output;
  return lv2test::ReadFloatWav(output);
}

TEST(VST3Ardour, ASessionListsRendersBypassesSavesAndReopensAsTheHostRenders) {
  if (!HaveArdour()) GTEST_SKIP() << "ardour7-lua is not installed (scripts/deps installs the package ardour)";
  if (lv2test::SanitizedBuild()) GTEST_SKIP() << "Ardour cannot load a sanitizer build";
  ArdourSession session;
  const lv2test::ToolRun scan = session.Scan();
  ASSERT_EQ(scan.status, 0) << scan.output;

  const Phase created = session.Run("create");
  ASSERT_EQ(created.status, 0) << created.output;
  ASSERT_NE(created.output.find("done\tcreate"), std::string::npos) << created.output;
  const chaintest::MusicSignal music(kFrames, 5);
  const Channels input = {{music.left.begin(), music.left.end()}, {music.right.begin(), music.right.end()}};
  const std::vector<std::string> sources = Paths(created.report, "source");
  ASSERT_EQ(sources.size(), 2u) << created.output;
  for (size_t c = 0; c < 2; ++c) FillSource(sources[c], input[c]);

  // Ardour lists the parameters the controller does, by title, with the settings taken.
  vst3test::Module module;
  vst3test::Plugin plugin(module);
  ASSERT_TRUE(plugin.mController) << module.mError;
  const std::map<std::string, double> listed = Controls(created.report);
  for (int i = 0; i < plugin.E()->get_parameter_count(plugin.mController); ++i) {
    v3_param_info info{};
    plugin.E()->get_parameter_info(plugin.mController, i, &info);
    if (info.flags & V3_PARAM_READ_ONLY) continue;
    EXPECT_EQ(listed.count(vst3test::Text(info.title)), 1u) << vst3test::Text(info.title);
  }
  EXPECT_EQ(listed.at("Ratio"), 4.0);

  const Phase rendered = session.Run("render");
  ASSERT_EQ(rendered.status, 0) << rendered.output;
  const Channels processed = Bounced(Paths(rendered.report, "bounce", "processed"));
  EXPECT_LE(lv2test::MaxDifference(processed, HostRender(session.Dir(), input)), kTolerance);
  EXPECT_GT(lv2test::MaxDifference(processed, input), 0.01) << "the plug-in processed";
  EXPECT_LE(lv2test::MaxDifference(Bounced(Paths(rendered.report, "bounce", "bypassed")), input), kTolerance)
      << "the host's bypass gives the input back, aligned";

  const Phase reopened = session.Run("reopen");
  ASSERT_EQ(reopened.status, 0) << reopened.output;
  EXPECT_EQ(Controls(reopened.report), Controls(rendered.report));
  EXPECT_EQ(Controls(reopened.report), listed);
  EXPECT_LE(lv2test::MaxDifference(Bounced(Paths(reopened.report, "bounce", "reopened")), processed), kTolerance);
}

}  // namespace
#endif
