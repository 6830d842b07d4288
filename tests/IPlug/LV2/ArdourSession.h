#pragma once
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "IPlug/LV2/LilvRig.h"
#include "host/TestFiles.h"

// Ardour run headless for the host tests of the LV2 and VST3 bundles: ardour7-lua on the dummy
// audio back end with a scratch home, so no user configuration is read or written, one phase
// of a session script per run. The script reports lines "<what>\t<track>\t..." on its
// standard output; the helpers both scripts share are in tests/IPlug/ardour/common.lua.
namespace ardourtest {

using Report = std::vector<std::vector<std::string>>;

struct Phase {
  int status = -1;
  std::string output;
  Report report;  // the lines of two or more fields, split at the tabs
};

bool HaveArdour();

class ArdourSession {
public:
  // `script` below tests/IPlug of the source tree; `environment` ("NAME=value") reaches every
  // phase.
  ArdourSession(std::string script, std::vector<std::string> environment);

  // The command prefix that runs a program in the session's scratch home.
  std::vector<std::string> Environment() const;
  Phase Run(const std::string& phase) const;

  const std::filesystem::path& SessionDir() const { return mSession; }
  const hosttest::ScopedTempDir& Dir() const { return mDir; }

private:
  hosttest::ScopedTempDir mDir;
  std::filesystem::path mHome;
  std::filesystem::path mSession;
  std::string mScript;
  std::vector<std::string> mEnvironment;
};

// The last field of every line `what` of `track` (and `label`), in channel order.
std::vector<std::string> Paths(const Report& report, const std::string& what, const std::string& track,
                               const std::string& label = "");
// The reported controls' values by "track/label".
std::map<std::string, double> Controls(const Report& report);

// Ardour's mono source files: the samples of the data chunk are replaced, the header stays.
void FillSource(const std::string& path, const std::vector<float>& samples);
std::vector<float> ReadMono(const std::string& path);
// A bounce's channels, `frames` long from frame `from` on; none when a file is short.
lv2test::Channels Bounced(const std::vector<std::string>& paths, size_t from, size_t frames);
// tollenbrook-host render of `in` with "Name=value;..." settings and the host's options.
lv2test::Channels HostRender(const hosttest::ScopedTempDir& dir, const lv2test::Channels& in, int rate,
                             const std::string& settings, const std::vector<std::string>& options);

}  // namespace ardourtest
