#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tbvalidate {

// What `tollenbrook-host validate` is asked to do.
struct ValidateOptions {
  static constexpr int kMaxStrictness = 10;

  int strictness = kMaxStrictness;  // 1 (a quick look) to 10 (everything)
  uint64_t seed = 0;                // of every random choice; printed, so a run can be replayed
  bool seedGiven = false;           // false: a fresh seed for each run
  std::string modulePath;           // empty: the module beside the host
  bool doublePrecision = false;     // 64-bit samples between host and plug-in

  // Parses the arguments after "validate" (args[0] is the command itself). False with `error`
  // set for an unknown option, a missing value or a value out of range.
  static bool Parse(const std::vector<std::string>& args, ValidateOptions& out, std::string& error);
};

}  // namespace tbvalidate
