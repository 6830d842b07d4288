#pragma once
#include <string>

#include "host/cli/CommandLine.h"
#include "host/cli/PluginInstance.h"
#include "host/cli/RenderAnalysis.h"
#include "host/cli/RenderReport.h"

namespace tbhost {

// What the reports of one `render` command hold (--report, --report-json, --plot), for one file
// and for batches alike.
// Main thread.
class ReportPlan {
public:
  // What holds for every file of the command: the settings as the plug-in names them, the
  // plug-in, the render options, and whether this build measures loudness.
  static ReportHeader Header(const CommandLine& cmd, const PluginInstance& plugin, const RenderRequest& request);
  // What to measure and draw for one file; `plotPath` empty for none.
  static RenderAnalysis::Wishes Wishes(const CommandLine& cmd, const ReportHeader& header, const std::string& plotPath);
};

}  // namespace tbhost
