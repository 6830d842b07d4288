#pragma once
#include <string>
#include <vector>

namespace lv2test {

struct ToolRun {
  int status = -1;     // exit status, -1 when the program could not run
  std::string output;  // standard output and standard error together
};

// Runs a program with LV2_PATH naming the built bundle and the system's specifications.
ToolRun RunTool(const std::vector<std::string>& args);

// The Turtle files of the LV2 vocabularies and schemas under /usr/lib/lv2: every bundle
// whose manifest names no plug-in. Plug-ins that happen to be installed beside them (their
// descriptions are no concern of ours, and some do not validate) are left out.
std::vector<std::string> SchemaFiles();

}  // namespace lv2test
