#include "host/cli/SideFiles.h"

#include <utility>
#include <vector>

#include "host/cli/RenderCommand.h"
#include "host/cli/SameFile.h"

namespace tbhost {

bool SideFiles::Check(const CommandLine& cmd, std::string& error) {
  const std::pair<const char*, const std::string*> written[] = {
      {"--report-json", &cmd.extras.reportJson}, {"--plot", &cmd.extras.plot}, {"--save-state", &cmd.saveState}};
  std::vector<std::string> taken = {cmd.input, cmd.output, cmd.sideChain, cmd.loadState};
  taken.insert(taken.end(), cmd.extras.inputs.begin(), cmd.extras.inputs.end());
  for (const auto& [option, path] : written) {
    if (path->empty()) continue;
    if (!RenderCommand::CheckWritable(*path, error)) return false;
    for (const std::string& other : taken) {
      if (other.empty() || !SameFile(*path, other)) continue;
      error = std::string(option) + " " + *path + " names a file the render already reads or writes (" + other + ")";
      return false;
    }
    taken.push_back(*path);
  }
  return true;
}

}  // namespace tbhost
