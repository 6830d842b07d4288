#pragma once
#include <string>
#include <vector>

namespace lv2test {

struct ToolRun {
  int status = -1;     // exit status, -1 when the program could not run
  std::string output;  // standard output and standard error together
};

// Runs a program with LV2_PATH naming the built bundle and the system's LV2 vocabularies.
ToolRun RunTool(const std::vector<std::string>& args);

}  // namespace lv2test
