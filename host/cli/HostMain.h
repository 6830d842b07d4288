#pragma once
#include <atomic>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "host/cli/PluginInstance.h"

namespace tbhost {

// Where tollenbrook-host talks to and what it renders with; tests give their own streams.
struct HostEnvironment {
  std::ostream& out;
  std::ostream& err;
  std::FILE* progress = nullptr;               // a terminal for the progress bar, or null
  PluginFactory makePlugin;
  const std::atomic<bool>* cancel = nullptr;   // set by an interrupt
};

// Runs one command line (without the program name). Returns the exit status: 0, or 2 after
// one line "tollenbrook-host: ..." on the error stream.
int RunHost(const std::vector<std::string>& args, const HostEnvironment& env);

constexpr int kExitFailure = 2;

}  // namespace tbhost
