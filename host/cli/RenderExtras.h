#pragma once
#include <string>
#include <vector>

namespace tbhost {

// What `render` does beyond playing one file through the plug-in: batches of files rendered in
// parallel into a folder, loudness reports, a plot, and leave to replace an input file.
struct RenderExtras {
  std::vector<std::string> inputs;  // with --out-dir: the files and folders to render
  std::string outDir;               // --out-dir DIR; empty: one input, one output
  int jobs = 0;                     // --jobs N; 0: one per core
  bool overwriteInput = false;      // --overwrite-input: an output may replace its own input
  bool report = false;              // --report: loudness, peaks and gain reduction, printed
  std::string reportJson;           // --report-json FILE
  std::string plot;                 // --plot FILE.png

  bool IsBatch() const { return !outDir.empty(); }
  // The render has to watch the plug-in's gain reduction and measure the files.
  bool WantsAnalysis() const { return report || !reportJson.empty() || !plot.empty(); }

  static constexpr int kMaxJobs = 64;
};

}  // namespace tbhost
