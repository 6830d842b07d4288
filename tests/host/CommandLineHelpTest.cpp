#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "host/cli/CommandLine.h"
#include "host/cli/Utf8Path.h"

// `tollenbrook-host --help` against what the build does and what the README tells a user.
namespace {

// The lines of `text` from the first that starts with `from` up to the first empty one, each
// with its runs of spaces made single: the README indents its copy differently.
std::vector<std::string> Block(const std::string& text, const std::string& from) {
  std::istringstream in(text);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string word, joined;
    while (words >> word) joined += (joined.empty() ? "" : " ") + word;
    if (lines.empty() && joined.rfind(from, 0) != 0) continue;
    if (joined.empty() || joined == "```") break;
    lines.push_back(joined);
  }
  return lines;
}

TEST(CommandLineHelp, TheSynopsisIsTheReadmes) {
  const char* source = std::getenv("TOLLENBROOK_SOURCE_DIR");
  if (!source) GTEST_SKIP() << "run by ctest, which names the source tree";
  std::string path = std::string(source) + "/README.md";
#if defined(_WIN32)
  if (path[0] == '/') path = "Z:" + path;  // the Linux tree through Wine's drive for the root
#endif
  std::ifstream file(tbhost::PathFromUtf8(path));
  ASSERT_TRUE(file) << path;
  const std::string readme((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const std::vector<std::string> help = Block(tbhost::CommandLine::Usage(), "tollenbrook-host render");
  ASSERT_GT(help.size(), 8u);
  // The README's synopsis leaves out the last line (--help | --version).
  EXPECT_EQ(std::vector<std::string>(help.begin(), help.end() - 1), Block(readme, "tollenbrook-host render"));
}

// Every command is compiled into both builds (the editor opens an X11 window on Linux and a
// Win32 window on Windows): none is said to need the other build.
TEST(CommandLineHelp, NoCommandIsSaidToNeedAnotherBuild) {
  const std::string usage = tbhost::CommandLine::Usage();
  EXPECT_EQ(usage.find("Needs the"), std::string::npos) << usage;
}

}  // namespace
