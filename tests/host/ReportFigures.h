#pragma once
#include <regex>
#include <string>
#include <vector>

namespace hosttest {

// The numbers of one figure in a JSON report of tollenbrook-host, in the report's order: the
// whole file's first, then one per second.
inline std::vector<double> Figures(const std::string& json, const std::string& key) {
  std::vector<double> values;
  const std::regex pattern("\"" + key + "\": (-?[0-9.eE+-]+)");
  for (auto it = std::sregex_iterator(json.begin(), json.end(), pattern); it != std::sregex_iterator(); ++it)
    values.push_back(std::stod((*it)[1]));
  return values;
}

}  // namespace hosttest
