#include "host/cli/SingleRenderReport.h"

#include <ostream>
#include <string>

namespace tbhost {

int SingleRenderReport::Finish(const CommandLine& cmd, const HostEnvironment& env, const ReportHeader& header,
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
