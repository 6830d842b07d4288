#pragma once
#include <string>

#include "host/cli/CommandLine.h"
#include "host/cli/HostMain.h"
#include "host/cli/RenderAnalysis.h"
#include "host/cli/RenderReport.h"

namespace tbhost {

// How `render` turns --report, --report-json and --plot into analyses and their output, for one
// file and for batches alike.
// Main thread.
class RenderReporting {
public:
  // The files written besides the audio (--report-json, --plot, --save-state) can be written
  // and are none of the files read or rendered, nor one another.
  static bool CheckSideFiles(const CommandLine& cmd, std::string& error);

  // What holds for every file of the command: the settings as the plug-in names them, the
  // plug-in, the render options, and whether this build measures loudness.
  static ReportHeader Header(const CommandLine& cmd, const PluginInstance& plugin, const RenderRequest& request);
  // What to measure and draw for one file; `plotPath` empty for none.
  static RenderAnalysis::Wishes Wishes(const CommandLine& cmd, const ReportHeader& header, const std::string& plotPath);

  // After a single render that succeeded: measures, prints the report, writes the JSON and the
  // plot as asked. Returns the exit status (0, or 2 after one line on the error stream).
  static int FinishSingle(const CommandLine& cmd, const HostEnvironment& env, const ReportHeader& header,
                          RenderAnalysis& analysis, const RenderRequest& request, const RenderResult& result);
};

}  // namespace tbhost
