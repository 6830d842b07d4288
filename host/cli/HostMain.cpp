#include "host/cli/HostMain.h"

#include <sstream>
#include <thread>

#include "host/cli/BatchCommand.h"
#include "host/cli/CommandLine.h"
#include "host/cli/DemoCommand.h"
#include "host/cli/DescribeCommand.h"
#include "host/cli/EditorCommand.h"
#include "host/cli/AAXModule.h"
#include "host/cli/MeteredPluginInstance.h"
#include "host/cli/ModuleLocator.h"
#include "host/cli/ParamResolver.h"
#include "host/cli/ParamsCommand.h"
#include "host/cli/PluginLoader.h"
#include "host/cli/PresetFiles.h"
#include "host/cli/PresetsCommand.h"
#include "host/cli/ProgressObserver.h"
#include "host/cli/RenderCommand.h"
#include "host/cli/ReportPlan.h"
#include "host/cli/SideFiles.h"
#include "host/cli/SingleRenderReport.h"
#include "host/cli/SnapshotCommand.h"
#include "host/cli/StateFile.h"
#include "host/cli/Utf8Path.h"
#include "host/validator/Validator.h"
#include "TollenbrookVersion.h"

namespace tbhost {
namespace {

int Fail(const HostEnvironment& env, const std::string& message) {
  env.err << "tollenbrook-host: " << message << std::endl;
  return kExitFailure;
}

// The plug-in for render and params: from its file when the host can load one. Reports and
// plots need its gain reduction meters: a plug-in without them renders beside a linked-in twin.
std::unique_ptr<PluginInstance> MakeAnyPlugin(const CommandLine& cmd, const HostEnvironment& env, std::string& error) {
  if (env.loadPlugin && cmd.extras.WantsAnalysis())
    return MeteredPluginInstance::WithMeters(env.loadPlugin(cmd.modulePath, error), env.makePlugin, error);
  if (env.loadPlugin) return env.loadPlugin(cmd.modulePath, error);
  if (!cmd.modulePath.empty()) {
    error = "--module: this host renders with its built-in plug-in only";
    return nullptr;
  }
  return env.makePlugin(error);
}

// With --double-precision the plug-in is asked for 64-bit samples before anything else.
std::unique_ptr<PluginInstance> MakePlugin(const CommandLine& cmd, const HostEnvironment& env, std::string& error) {
  std::unique_ptr<PluginInstance> plugin = MakeAnyPlugin(cmd, env, error);
  if (plugin && cmd.doublePrecision && !plugin->UseDoublePrecision(true, error)) {
    error = "--double-precision: " + error;
    return nullptr;
  }
  return plugin;
}

// A saved state goes in before any file is touched: one the plug-in refuses stops the render.
bool LoadState(const std::string& path, PluginInstance& plugin, std::string& error) {
  PluginState state;
  if (!StateFile::Read(path, state, error)) return false;
  std::string why;
  if (!plugin.LoadState(state, why)) {
    error = "state " + path + " " + why;
    return false;
  }
  return true;
}

bool SaveState(const std::string& path, PluginInstance& plugin, std::string& error) {
  PluginState state;
  if (!plugin.SaveState(state, error)) return false;
  return StateFile::Write(path, state, error);
}

// render IN... --out-dir DIR: the files are found and checked before anything is written.
int RunBatch(const CommandLine& cmd, const HostEnvironment& env, PluginInstance& prototype,
             const RenderRequest& base, const ReportHeader& header) {
  BatchRequest batch;
  std::string error;
  if (!BatchPlan::Make(cmd.extras, cmd.sideChain, batch.jobs, error)) return Fail(env, error);
  batch.base = base;
  batch.threads = cmd.extras.jobs > 0 ? cmd.extras.jobs : static_cast<int>(std::thread::hardware_concurrency());
  batch.report = cmd.extras.report;
  batch.reportJson = cmd.extras.reportJson;
  batch.analyse = cmd.extras.WantsAnalysis();
  batch.analysis = ReportPlan::Wishes(cmd, header, "");
  batch.header = header;
  batch.saveState = cmd.saveState;
  return BatchCommand::Run(batch, prototype, env);
}

int RunRender(const CommandLine& cmd, const HostEnvironment& env) {
  std::string error;
  std::unique_ptr<PluginInstance> plugin = MakePlugin(cmd, env, error);
  if (!plugin) return Fail(env, error);
  if (!cmd.loadState.empty() && !LoadState(cmd.loadState, *plugin, error)) return Fail(env, error);
  std::unique_ptr<PresetFiles> presetFiles;
  if (!PresetFiles::BeforeRender(cmd, *plugin, presetFiles, error)) return Fail(env, error);
  if (!cmd.saveState.empty() && !RenderCommand::CheckWritable(cmd.saveState, error)) return Fail(env, error);
  if (!SideFiles::Check(cmd, error)) return Fail(env, error);

  // Settings are checked before any file is touched.
  RenderRequest request;
  request.input = cmd.input;
  request.output = cmd.output;
  request.sideChain = cmd.sideChain;
  request.options.blockSize = cmd.blockSize;
  request.options.keepLatency = cmd.keepLatency;
  if (!ParamResolver(plugin->Parameters()).ResolveAll(cmd.settings, request.options.settings, error))
    return Fail(env, error);
  request.overwriteInput = cmd.extras.overwriteInput;
  const ReportHeader header = ReportPlan::Header(cmd, *plugin, request);
  if (cmd.extras.IsBatch()) {
    const int status = RunBatch(cmd, env, *plugin, request, header);
    if (cmd.saveProgram.empty() && cmd.saveBank.empty()) return status;
    // Program and bank files hold the settings the files were rendered with.
    for (const ParamSetting& s : request.options.settings) plugin->SetParameter(s.index, s.value);
    if (!PresetFiles::AfterRender(cmd, *plugin, presetFiles, error)) return Fail(env, error);
    return status;
  }

  RenderAnalysis analysis(ReportPlan::Wishes(cmd, header, cmd.extras.plot));
  ProgressObserver observer(env.progress, "render", env.cancel, cmd.extras.WantsAnalysis() ? &analysis.Probe() : nullptr);
  RenderResult result;
  if (!RenderCommand::Run(request, *plugin, &observer, result, error)) {
    observer.Finish(false);
    return Fail(env, error);
  }
  observer.Finish();
  result.PrintWarnings(cmd.output, env.err);
  if (!cmd.saveState.empty() && !SaveState(cmd.saveState, *plugin, error)) return Fail(env, error);
  if (!PresetFiles::AfterRender(cmd, *plugin, presetFiles, error)) return Fail(env, error);
  env.out << "latency " << result.latency << " samples, as the plug-in announced it" << std::endl;
  if (cmd.extras.WantsAnalysis()) return SingleRenderReport::Finish(cmd, env, header, analysis, request, result);
  return 0;
}

int RunParams(const CommandLine& cmd, const HostEnvironment& env) {
  std::string error;
  std::unique_ptr<PluginInstance> plugin = MakePlugin(cmd, env, error);
  if (!plugin) return Fail(env, error);
  ParamsCommand::Print(plugin->Parameters(), env.out);
  return 0;
}

int RunDescribe(const CommandLine& cmd, const HostEnvironment& env) {
  std::string error;
  const std::string path = cmd.modulePath.empty() ? ModuleLocator::FindBesideExecutable(error) : cmd.modulePath;
  if (path.empty()) return Fail(env, error);
  if (const PluginKind kind = PluginLoader::KindOf(path); kind != PluginKind::kAAX) {
    std::unique_ptr<PluginInstance> plugin = PluginLoader::Load(path, error);
    if (!plugin || !DescribeCommand::Run(path, PluginLoader::KindName(kind), *plugin, env.out, error))
      return Fail(env, error);
    return 0;
  }
  std::unique_ptr<AAXModule> module = AAXModule::Open(path, error);
  if (!module || !DescribeCommand::Run(*module, env.out, error)) return Fail(env, error);
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
      env.out << "tollenbrook-host " TOLLENBROOK_VERSION_TEXT "\n";
      return 0;
    case CommandLine::Command::kParams:
      return RunParams(cmd, env);
    case CommandLine::Command::kDescribe:
      return RunDescribe(cmd, env);
    case CommandLine::Command::kRender:
      return RunRender(cmd, env);
    case CommandLine::Command::kPresets:
      if (!(cmd.presetsDir.empty() ? PresetsCommand::List(env.out, error)
                                   : PresetsCommand::Write(cmd.presetsDir, env.out, error)))
        return Fail(env, error);
      return 0;
    case CommandLine::Command::kDemo:
      if (!DemoCommand::Run(cmd.demoDir, env.makePlugin, env.progress, env.cancel, env.out, error))
        return Fail(env, error);
      WriteDemoSnapshot(cmd.demoDir, env);
      return 0;
    case CommandLine::Command::kEditor: {
      const EditorRequest request{cmd.settings, cmd.modulePath, cmd.editorSeconds};
      if (!EditorCommand::Run(request, env.out, error)) return Fail(env, error);
      return 0;
    }
    case CommandLine::Command::kValidate:
      return tbvalidate::Validate(cmd.validate, env.out, env.err);
    case CommandLine::Command::kSnapshot: {
      const SnapshotRequest request{cmd.output, cmd.snapshotScale, cmd.settings};
      if (!SnapshotCommand::Run(request, env.out, error)) return Fail(env, error);
      return 0;
    }
  }
  return Fail(env, "unknown command");
}

}  // namespace tbhost
