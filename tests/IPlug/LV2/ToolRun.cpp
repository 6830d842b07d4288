#include "IPlug/LV2/ToolRun.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "IPlug/LV2/LilvRig.h"

namespace lv2test {

namespace {
std::string Quoted(const std::string& arg) {
  std::string out = "'";
  for (char c : arg) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}
}  // namespace

ToolRun RunTool(const std::vector<std::string>& args) {
  std::string command = "LV2_PATH=" + Quoted(LV2Path());
  for (const std::string& arg : args) command += " " + Quoted(arg);
  command += " 2>&1";
  ToolRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> buf;
  size_t n = 0;
  while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) run.output.append(buf.data(), n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::vector<std::string> SchemaFiles() {
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& bundle : std::filesystem::directory_iterator("/usr/lib/lv2", error)) {
    std::ifstream manifest(bundle.path() / "manifest.ttl");
    std::stringstream text;
    text << manifest.rdbuf();
    if (text.str().find("lv2:Plugin") != std::string::npos || text.str().find("lv2core#Plugin") != std::string::npos)
      continue;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(bundle.path(), error))
      if (entry.path().extension() == ".ttl") files.push_back(entry.path().string());
  }
  return files;
}

}  // namespace lv2test
