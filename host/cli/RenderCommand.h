#pragma once
#include <string>

#include "host/cli/HostRenderer.h"

namespace tbhost {

// Renders one file to another through a plug-in instance, the way `tollenbrook-host render`
// does: checks the files, writes the output under a temporary name in its directory and
// renames it into place only when everything has been written.
struct RenderRequest {
  std::string input;
  std::string output;
  std::string sideChain;  // empty: no key input
  RenderOptions options;
  bool overwriteInput = false;  // the output may be the input or the side-chain file itself
};

class RenderCommand {
public:
  // `plugin` is fresh (not yet initialised). False with `error` set; no output file is left then.
  static bool Run(const RenderRequest& request, PluginInstance& plugin, RenderObserver* observer,
                  RenderResult& result, std::string& error);

  // Fails for a missing file or a directory, with the message the host prints.
  static bool CheckReadable(const std::string& path, std::string& error);
  static bool CheckWritable(const std::string& path, std::string& error);
  // Fails when the output is the input or the side-chain file under another spelling or
  // through a link (unless the request allows it), so a slip of the keyboard loses nothing.
  static bool CheckOutputIsNoInput(const RenderRequest& request, std::string& error);
};

}  // namespace tbhost
