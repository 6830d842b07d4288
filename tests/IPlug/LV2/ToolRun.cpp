#include "IPlug/LV2/ToolRun.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>

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

}  // namespace lv2test
