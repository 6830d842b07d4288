#include "host/cli/HostMain.h"

#include <sstream>

#include "host/cli/CommandLine.h"
#include "host/cli/DemoCommand.h"
#include "host/cli/ParamResolver.h"
#include "host/cli/ParamsCommand.h"
#include "host/cli/ProgressObserver.h"
#include "host/cli/RenderCommand.h"
#include "host/cli/SnapshotCommand.h"
#include "host/cli/Utf8Path.h"

namespace tbhost {
namespace {

int Fail(const HostEnvironment& env, const std::string& message) {
  env.err << "tollenbrook-host: " << message << std::endl;
  return kExitFailure;
}

int RunRender(const CommandLine& cmd, const HostEnvironment& env) {
  std::string error;
  std::unique_ptr<PluginInstance> plugin = env.makePlugin(error);
  if (!plugin) return Fail(env, error);

  // Settings are checked before any file is touched.
  RenderRequest request;
  request.input = cmd.input;
  request.output = cmd.output;
  request.sideChain = cmd.sideChain;
  request.options.blockSize = cmd.blockSize;
  request.options.keepLatency = cmd.keepLatency;
  const ParamResolver resolver(plugin->Parameters());
  for (const std::string& text : cmd.settings) {
    ParamSetting setting;
    if (!resolver.Resolve(text, setting, error)) return Fail(env, error);
    request.options.settings.push_back(setting);
  }

  ProgressObserver observer(env.progress, "render", env.cancel);
  RenderResult result;
  if (!RenderCommand::Run(request, *plugin, &observer, result, error)) {
    observer.Finish(false);
    return Fail(env, error);
  }
  observer.Finish();
  if (result.clippedSamples > 0)
    env.err << "tollenbrook-host: warning: " << result.clippedSamples << " samples clipped in " << cmd.output
            << " (its format has no room above full scale)" << std::endl;
  return 0;
}

int RunParams(const HostEnvironment& env) {
  std::string error;
  std::unique_ptr<PluginInstance> plugin = env.makePlugin(error);
  if (!plugin) return Fail(env, error);
  ParamsCommand::Print(plugin->Parameters(), env.out);
  return 0;
}

// The editor's picture beside the demo's audio, at the demo's setting. A machine without an
// off-screen OpenGL context still gets its audio: the picture is then only a warning.
void WriteDemoSnapshot(const std::string& dir, const HostEnvironment& env) {
  SnapshotRequest request;
  request.output = PathToUtf8(PathFromUtf8(dir) / "editor.png");
  request.settings = DemoCommand::Setting();
  std::string error;
  std::ostringstream quiet;
  if (SnapshotCommand::Run(request, quiet, error))
    env.out << "  editor   " << request.output << "\n";
  else
    env.err << "tollenbrook-host: warning: no editor picture: " << error << std::endl;
}

}  // namespace

int RunHost(const std::vector<std::string>& args, const HostEnvironment& env) {
  CommandLine cmd;
  std::string error;
  if (!CommandLine::Parse(args, cmd, error)) return Fail(env, error);
  switch (cmd.command) {
    case CommandLine::Command::kHelp:
      env.out << CommandLine::Usage();
      return 0;
    case CommandLine::Command::kVersion:
      env.out << "tollenbrook-host 3.0.0\n";
      return 0;
    case CommandLine::Command::kParams:
      return RunParams(env);
    case CommandLine::Command::kRender:
      return RunRender(cmd, env);
    case CommandLine::Command::kDemo:
      if (!DemoCommand::Run(cmd.demoDir, env.makePlugin, env.progress, env.cancel, env.out, error))
        return Fail(env, error);
      WriteDemoSnapshot(cmd.demoDir, env);
      return 0;
    case CommandLine::Command::kSnapshot: {
      const SnapshotRequest request{cmd.output, cmd.snapshotScale, cmd.settings};
      if (!SnapshotCommand::Run(request, env.out, error)) return Fail(env, error);
      return 0;
    }
  }
  return Fail(env, "unknown command");
}

}  // namespace tbhost
