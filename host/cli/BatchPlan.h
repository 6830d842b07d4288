#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "host/cli/RenderExtras.h"

namespace tbhost {

// One file of a batch: where it comes from and where it goes (the output folder, same name).
struct BatchJob {
  std::string input;
  std::string output;
  double weight = 1.0;  // the file's share of the batch's work, for the progress display
};

// Turns the inputs of `render IN... --out-dir DIR` into the list of files to render. A folder
// stands for the sound files directly in it (by extension, in name order; hidden files,
// sub-folders and other files are left out). A named file is always taken: if it cannot be
// rendered, that is its own failure. What would make the whole batch wrong is refused before
// anything is written: no file to render, an output folder that is a file, two inputs that
// would write the same output, or an output that is its own input or the side-chain file
// (unless --overwrite-input allows it).
// Main thread.
class BatchPlan {
public:
  static bool Make(const RenderExtras& extras, const std::string& sideChain, std::vector<BatchJob>& jobs,
                   std::string& error);
};

}  // namespace tbhost
