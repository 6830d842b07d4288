#pragma once
#include "host/cli/CommandLine.h"
#include "host/cli/HostMain.h"
#include "host/cli/RenderAnalysis.h"
#include "host/cli/RenderReport.h"

namespace tbhost {

// The reports of a single render, once it has succeeded: measured, printed (--report) and
// written (--report-json, --plot) as asked.
// Main thread.
class SingleRenderReport {
public:
  // Returns the exit status (0, or 2 after one line on the error stream).
  static int Finish(const CommandLine& cmd, const HostEnvironment& env, const ReportHeader& header,
                    RenderAnalysis& analysis, const RenderRequest& request, const RenderResult& result);
};

}  // namespace tbhost
