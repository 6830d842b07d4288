#pragma once
#include <ostream>
#include <string>

namespace tbhost {

class AAXModule;
class PluginInstance;

// `tollenbrook-host describe`: what a host learns from the module, as it learns it. The
// registered effect (names, category, package, manufacturer, version), each component with
// its properties and context fields, and the host parameters of an instance with their
// steps, types, defaults and texts. Four-character codes are printed as their characters.
class DescribeCommand {
public:
  // Main thread. False with `error` set when no instance can be made to list the parameters.
  static bool Run(AAXModule& module, std::ostream& out, std::string& error);
  // Main thread. What any host learns of a plug-in of another format (`kind`) through the
  // host's instance interface: its parameters, meters, latency and state.
  static bool Run(const std::string& path, const char* kind, PluginInstance& plugin, std::ostream& out,
                  std::string& error);
};

}  // namespace tbhost
