#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "IPlug/LV2/ArdourSession.h"
#include "IPlug/LV2/FloatWav.h"
#include "IPlug/LV2/LilvRig.h"
#include "IPlug/LV2/ToolRun.h"
#include "IPlug/VST3/VST3Rig.h"
#include "host/TestFiles.h"
#include "product/MusicSignal.h"

// The VST3 bundle in Ardour, run headless; the bundle is scanned with Ardour's own scanner into
// the session's scratch home and found through VST3_PATH. ardour/session.lua makes a
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

using namespace ardourtest;

// Ardour's scanner, as Ardour runs it for a new bundle, writes what Ardour then loads from.
lv2test::ToolRun Scan(const ArdourSession& session) {
  std::vector<std::string> args = session.Environment();
  args.insert(args.end(), {"LD_LIBRARY_PATH=/usr/lib/ardour7", "timeout", "60", "/usr/lib/ardour7/ardour-vst3-scanner",
                           vst3test::BundlePath()});
  return lv2test::RunTool(args);
}

Channels Bounced(const std::vector<std::string>& paths) { return ardourtest::Bounced(paths, kRate, kFrames); }

TEST(VST3Ardour, ASessionListsRendersBypassesSavesAndReopensAsTheHostRenders) {
  if (!HaveArdour()) GTEST_SKIP() << "ardour7-lua is not installed (scripts/deps installs the package ardour)";
  if (lv2test::SanitizedBuild()) GTEST_SKIP() << "Ardour cannot load a sanitizer build";
  ArdourSession session("VST3/ardour/session.lua",
                        {"VST3_PATH=" + std::filesystem::path(vst3test::BundlePath()).parent_path().string(),
                         "TB_FRAMES=" + std::to_string(kFrames), std::string("TB_SETTINGS=") + kSettings});
  const lv2test::ToolRun scan = Scan(session);
  ASSERT_EQ(scan.status, 0) << scan.output;

  const Phase created = session.Run("create");
  ASSERT_EQ(created.status, 0) << created.output;
  ASSERT_NE(created.output.find("done\tcreate"), std::string::npos) << created.output;
  const chaintest::MusicSignal music(kFrames, 5);
  const Channels input = {{music.left.begin(), music.left.end()}, {music.right.begin(), music.right.end()}};
  const std::vector<std::string> sources = Paths(created.report, "source", "Stereo");
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
    EXPECT_EQ(listed.count("Stereo/" + vst3test::Text(info.title)), 1u) << vst3test::Text(info.title);
  }
  EXPECT_EQ(listed.at("Stereo/Ratio"), 4.0);

  const Phase rendered = session.Run("render");
  ASSERT_EQ(rendered.status, 0) << rendered.output;
  const Channels processed = Bounced(Paths(rendered.report, "bounce", "Stereo", "processed"));
  EXPECT_LE(lv2test::MaxDifference(processed, HostRender(session.Dir(), input, kRate, kSettings, {})), kTolerance);
  EXPECT_GT(lv2test::MaxDifference(processed, input), 0.01) << "the plug-in processed";
  EXPECT_LE(lv2test::MaxDifference(Bounced(Paths(rendered.report, "bounce", "Stereo", "bypassed")), input), kTolerance)
      << "the host's bypass gives the input back, aligned";

  const Phase reopened = session.Run("reopen");
  ASSERT_EQ(reopened.status, 0) << reopened.output;
  EXPECT_EQ(Controls(reopened.report), Controls(rendered.report));
  EXPECT_EQ(Controls(reopened.report), listed);
  EXPECT_LE(lv2test::MaxDifference(Bounced(Paths(reopened.report, "bounce", "Stereo", "reopened")), processed), kTolerance);
}

}  // namespace
#endif
