#pragma once
#include <string>
#include <vector>

#include "host/cli/BatchPlan.h"
#include "host/cli/HostMain.h"
#include "host/cli/RenderAnalysis.h"
#include "host/cli/RenderCommand.h"
#include "host/cli/RenderReport.h"

namespace tbhost {

// `render IN... --out-dir DIR`: what every file of the batch is rendered with.
struct BatchRequest {
  std::vector<BatchJob> jobs;
  RenderRequest base;               // side chain, render options, --overwrite-input
  int threads = 1;                  // workers, at most one per file
  bool report = false;              // print each file's figures
  std::string reportJson;           // one JSON document for the whole batch
  RenderAnalysis::Wishes analysis;  // what to measure of each file (no plot)
  bool analyse = false;             // watch gain reduction and measure at all
  ReportHeader header;
  std::string saveState;            // the plug-in's state after the batch
};

// Renders the files of a batch in parallel: each worker takes the next file, makes a fresh
// instance of the prototype's plug-in for it (from the same loaded module, with the
// prototype's state when that differs from a fresh one's), renders it exactly as a render of
// that file alone would, and measures it when asked. The main thread shows one progress
// display for the whole batch. A file that fails leaves no output and is reported with its
// reason once all are done; an interrupt (Ctrl-C) stops the files being rendered, leaving no
// partial output, and starts no more.
class BatchCommand {
public:
  // Main thread. Returns the exit status: 0 when every file was rendered, kExitSomeFailed
  // otherwise, kExitFailure when the output folder cannot be made.
  static int Run(const BatchRequest& request, PluginInstance& prototype, const HostEnvironment& env);
};

}  // namespace tbhost
