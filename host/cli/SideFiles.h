#pragma once
#include <string>

#include "host/cli/CommandLine.h"

namespace tbhost {

// The files `render` writes besides the audio (--report-json, --plot, --save-state).
// Main thread.
class SideFiles {
public:
  // Each can be written and is none of the files read or rendered, nor another of them; false
  // with `error` set otherwise.
  static bool Check(const CommandLine& cmd, std::string& error);
};

}  // namespace tbhost
