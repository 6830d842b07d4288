#pragma once
#include <atomic>
#include <cstdio>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "host/cli/PluginInstance.h"

namespace tbhost {

// Where tollenbrook-host talks to and what it renders with; tests give their own streams.
struct HostEnvironment {
  HostEnvironment(std::ostream& outStream, std::ostream& errStream, std::FILE* progressFile, PluginFactory linkedIn,
                  const std::atomic<bool>* cancelFlag = nullptr, PluginFileFactory fromFile = nullptr)
      : out(outStream), err(errStream), progress(progressFile), makePlugin(std::move(linkedIn)), cancel(cancelFlag),
        loadPlugin(std::move(fromFile)) {}

  std::ostream& out;
  std::ostream& err;
  std::FILE* progress = nullptr;               // a terminal for the progress bar, or null
  // The plug-in linked into the host: the demo renders with it (it reports gain reduction),
  // and so does everything else when no module factory is given.
  PluginFactory makePlugin;
  const std::atomic<bool>* cancel = nullptr;   // set by an interrupt
  // How render and params load the plug-in file named with --module (or the module beside
  // the host): PluginLoader::Load in the program.
  PluginFileFactory loadPlugin;
};

// Runs one command line (without the program name). Returns the exit status: 0, or 2 after
// one line "tollenbrook-host: ..." on the error stream; a batch (render --out-dir) in which
// some files failed or that was interrupted returns 1 after naming each failure.
int RunHost(const std::vector<std::string>& args, const HostEnvironment& env);

constexpr int kExitFailure = 2;
constexpr int kExitSomeFailed = 1;

}  // namespace tbhost
