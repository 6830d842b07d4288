#include "IPlug/LV2/ArdourSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "IPlug/LV2/FloatWav.h"
#include "IPlug/LV2/ToolRun.h"
#include "host/ReferenceWav.h"

namespace ardourtest {
namespace {

std::string TestSource(const std::string& relative) {
  const char* source = std::getenv("TOLLENBROOK_SOURCE_DIR");
  return std::string(source ? source : ".") + "/tests/IPlug/" + relative;
}

Report Split(const std::string& output) {
  Report report;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields;
    std::istringstream split(line);
    for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
    if (fields.size() > 1) report.push_back(fields);
  }
  return report;
}

}  // namespace

bool HaveArdour() { return lv2test::RunTool({"sh", "-c", "command -v ardour7-lua"}).status == 0; }

ArdourSession::ArdourSession(std::string script, std::vector<std::string> environment)
    : mHome(mDir.Path() / "home"), mSession(mDir.Path() / "session"), mScript(std::move(script)),
      mEnvironment(std::move(environment)) {}

std::vector<std::string> ArdourSession::Environment() const {
  const std::string home = mHome.string();
  std::vector<std::string> args = {"env", "-u", "DISPLAY", "HOME=" + home, "XDG_CONFIG_HOME=" + home + "/config",
                                   "XDG_DATA_HOME=" + home + "/data", "XDG_CACHE_HOME=" + home + "/cache"};
  args.insert(args.end(), mEnvironment.begin(), mEnvironment.end());
  return args;
}

Phase ArdourSession::Run(const std::string& phase) const {
  std::vector<std::string> args = Environment();
  args.insert(args.end(), {"TB_PHASE=" + phase, "TB_SESSION_DIR=" + mSession.string(),
                           "TB_ARDOUR_COMMON=" + TestSource("ardour/common.lua"), "timeout", "120", "ardour7-lua",
                           TestSource(mScript)});
  const lv2test::ToolRun run = lv2test::RunTool(args);
  return {run.status, run.output, Split(run.output)};
}

std::vector<std::string> Paths(const Report& report, const std::string& what, const std::string& track,
                               const std::string& label) {
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

lv2test::Channels Bounced(const std::vector<std::string>& paths, size_t from, size_t frames) {
  lv2test::Channels out;
  for (const std::string& path : paths) {
    const std::vector<float> all = ReadMono(path);
    if (all.size() < from + frames) return {};
    out.emplace_back(all.begin() + static_cast<std::ptrdiff_t>(from),
                     all.begin() + static_cast<std::ptrdiff_t>(from + frames));
  }
  return out;
}

lv2test::Channels HostRender(const hosttest::ScopedTempDir& dir, const lv2test::Channels& in, int rate,
                             const std::string& settings, const std::vector<std::string>& options) {
  const std::string input = dir.File("host-in.wav"), output = dir.File("host-out.wav");
  lv2test::WriteFloatWav(input, in, rate);
  std::vector<std::string> args = {lv2test::HostProgram(), "render", input, output};
  std::istringstream split(settings);
  for (std::string setting; std::getline(split, setting, ';');) args.insert(args.end(), {"--set", setting});
  args.insert(args.end(), options.begin(), options.end());
  const lv2test::ToolRun run = lv2test::RunTool(args);
  EXPECT_EQ(run.status, 0) << run.output;
  return lv2test::ReadFloatWav(output);
}

}  // namespace ardourtest
