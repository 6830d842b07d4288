#include "host/cli/ReportPlan.h"

#include <algorithm>
#include <vector>

#include "host/cli/LoudnessMeter.h"

namespace tbhost {

ReportHeader ReportPlan::Header(const CommandLine& cmd, const PluginInstance& plugin, const RenderRequest& request) {
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

RenderAnalysis::Wishes ReportPlan::Wishes(const CommandLine& cmd, const ReportHeader& header,
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

}  // namespace tbhost
