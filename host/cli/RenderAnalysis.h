#pragma once
#include <string>

#include "host/cli/ReductionProbe.h"
#include "host/cli/RenderCommand.h"
#include "host/cli/RenderReport.h"

namespace tbhost {

// What one render learns besides writing its output: the plug-in's gain reduction while it
// renders (through the probe, which the render's observer chain must reach), then the loudness
// and peaks of the input and the output files as written, and the plot when one is asked for.
// The thread that renders the file; separate analyses may run on separate threads.
class RenderAnalysis {
public:
  struct Wishes {
    bool loudness = false;   // measure loudness and peaks (where the build can)
    std::string plotPath;    // empty: no plot
    std::string subtitle;    // the plot's second line: the settings
  };

  explicit RenderAnalysis(Wishes wishes);

  RenderObserver& Probe() { return mProbe; }
  const ReductionProbe& Reduction() const { return mProbe; }

  // After a successful render of `request`: fills `report` with the files, the figures and
  // the gain reduction, and draws the plot. False with `error` set when a file cannot be read
  // back or the plot cannot be written; `plotWarning` is set instead when this build cannot
  // draw plots at all.
  bool Complete(const RenderRequest& request, const RenderResult& result, FileReport& report, std::string& plotWarning,
                std::string& error);

private:
  Wishes mWishes;
  ReductionProbe mProbe;
};

}  // namespace tbhost
