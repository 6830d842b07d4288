#pragma once
#include <string>
#include <vector>

namespace tbhost {

struct CommandLine;

// The render options of RenderExtras, parsed beside the render command's own: the command's
// option walk asks here first and goes on with its own options for everything not claimed.
class RenderExtrasParser {
public:
  enum class Outcome { kNotMine, kApplied, kFailed };

  static bool TakesValue(const std::string& name);
  static Outcome Apply(const std::string& name, const std::string& value, bool hasValue, CommandLine& out,
                       std::string& error);
  // The plain arguments: IN OUT, or with --out-dir every one an input.
  static bool AssignFiles(const std::vector<std::string>& positional, CommandLine& out, std::string& error);
};

}  // namespace tbhost
