#include "host/cli/RenderReporting.h"

#include <algorithm>

#include "host/cli/SameFile.h"

namespace tbhost {

bool RenderReporting::CheckSideFiles(const CommandLine& cmd, std::string& error) {
  const std::pair<const char*, const std::string*> written[] = {
      {"--report-json", &cmd.extras.reportJson}, {"--plot", &cmd.extras.plot}, {"--save-state", &cmd.saveState}};
  std::vector<std::string> taken = {cmd.input, cmd.output, cmd.sideChain, cmd.loadState};
  taken.insert(taken.end(), cmd.extras.inputs.begin(), cmd.extras.inputs.end());
  for (const auto& [option, path] : written) {
    if (path->empty()) continue;
    if (!RenderCommand::CheckWritable(*path, error)) return false;
    for (const std::string& other : taken) {
      if (other.empty() || !SameFile(*path, other)) continue;
      error = std::string(option) + " " + *path + " names a file the render already reads or writes (" + other + ")";
      return false;
    }
    taken.push_back(*path);
  }
  return true;
}

ReportHeader RenderReporting::Header(const CommandLine& cmd, const PluginInstance& plugin,
                                     const RenderRequest& request) {
  ReportHeader header;
  const std::vector<ParamInfo>& params = plugin.Parameters();
  for (const ParamSetting& s : request.options.settings) {
    const auto p = std::find_if(params.begin(), params.end(), [&](const ParamInfo& i) { return i.index == s.index; });
    if (p != params.end()) header.settings.emplace_back(p->name, p->DisplayFor(s.value));
  }
  header.loadState = cmd.loadState;
  header.plugin = cmd.modulePath.empty() ? std::string("the module beside tollenbrook-host") : cmd.modulePath;
  header.blockSize = request.options.blockSize;
  header.keepLatency = request.options.keepLatency;
  LoudnessMeter::Available(header.loudnessUnavailable);
  return header;
}

RenderAnalysis::Wishes RenderReporting::Wishes(const CommandLine& cmd, const ReportHeader& header,
                                               const std::string& plotPath) {
  RenderAnalysis::Wishes wishes;
  wishes.loudness = cmd.extras.report || !cmd.extras.reportJson.empty();
  wishes.plotPath = plotPath;
  std::string& subtitle = wishes.subtitle;
  if (!header.loadState.empty()) subtitle = "state " + header.loadState;
  for (const auto& [name, text] : header.settings) subtitle += (subtitle.empty() ? "" : ", ") + name + "=" + text;
  if (subtitle.empty()) subtitle = "default settings";
  return wishes;
}

int RenderReporting::FinishSingle(const CommandLine& cmd, const HostEnvironment& env, const ReportHeader& header,
                                  RenderAnalysis& analysis, const RenderRequest& request, const RenderResult& result) {
  FileReport report;
  std::string plotWarning, error;
  if (!analysis.Complete(request, result, report, plotWarning, error)) {
    env.err << "tollenbrook-host: " << error << std::endl;
    return kExitFailure;
  }
  if (!plotWarning.empty()) env.err << "tollenbrook-host: warning: " << plotWarning << std::endl;
  if (cmd.extras.report) RenderReport::Print(report, header.loudnessUnavailable, env.out);
  if (!cmd.extras.reportJson.empty() && !RenderReport::WriteJson(cmd.extras.reportJson, header, {report}, error)) {
    env.err << "tollenbrook-host: " << error << std::endl;
    return kExitFailure;
  }
  return 0;
}

}  // namespace tbhost
