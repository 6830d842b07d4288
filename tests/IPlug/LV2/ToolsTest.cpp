#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "IPlug/LV2/LilvRig.h"
#include "IPlug/LV2/ToolRun.h"

// The bundle as the Debian LV2 tools see it: its Turtle is valid against the LV2 schemas,
// lv2ls lists both plug-ins, lv2info shows every parameter as tollenbrook-host params prints
// it, and lv2bench runs both.
namespace {

std::string BundleDir() {
  const char* built = std::getenv("TOLLENBROOK_LV2_PATH");
  return std::string(built ? built : "(TOLLENBROOK_LV2_PATH unset)") + "/Tollenbrook.lv2";
}

TEST(LV2Tools, SordValidateFindsNoErrorAgainstTheSchemas) {
  std::vector<std::string> args = {"sord_validate"};
  for (const std::string& file : lv2test::VocabularyTurtle()) args.push_back(file);
  const size_t schemaFiles = args.size() - 1;
  args.push_back(BundleDir() + "/manifest.ttl");
  args.push_back(BundleDir() + "/Tollenbrook.ttl");
  ASSERT_GT(schemaFiles, 20u) << "lv2-dev ships the LV2 schemas";
  const lv2test::ToolRun run = lv2test::RunTool(args);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("Found 0 errors"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("arning"), std::string::npos) << run.output;
}

TEST(LV2Tools, Lv2lsListsBothPlugIns) {
  const lv2test::ToolRun run = lv2test::RunTool({"lv2ls"});
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find(std::string(lv2test::kMonoURI) + "\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find(std::string(lv2test::kStereoURI) + "\n"), std::string::npos) << run.output;
}

struct Port {
  double min = 0.0, max = 0.0, def = 0.0;
  std::map<double, std::string> texts;
};

// The settable parameters of `tollenbrook-host params`, by name.
std::map<std::string, Port> HostParams() {
  const lv2test::ToolRun run = lv2test::RunTool({lv2test::HostProgram(), "params"});
  EXPECT_EQ(run.status, 0) << run.output;
  std::map<std::string, Port> params;
  const std::regex line(R"(^\s*\d+  (.+?)\s{2,}(-?[\d.]+) to (-?[\d.]+)\s+(-?[\d.]+).*$)");
  const std::regex text(R"((-?[\d.]+)=(.+?)(?=  |$))");
  std::istringstream in(run.output);
  Port* current = nullptr;
  for (std::string s; std::getline(in, s);) {
    std::smatch m;
    if (std::regex_match(s, m, line)) {
      current = s.find("read-only") == std::string::npos ? &params[m[1]] : nullptr;
      if (current) *current = Port{std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), {}};
    } else if (current && s.rfind("                ", 0) == 0) {
      for (std::sregex_iterator it(s.begin(), s.end(), text), end; it != end; ++it)
        current->texts[std::stod((*it)[1])] = (*it)[2];
    }
  }
  return params;
}

// The input control ports that lv2info shows, by name.
std::map<std::string, Port> Lv2infoControls(const char* uri) {
  const lv2test::ToolRun run = lv2test::RunTool({"lv2info", uri});
  EXPECT_EQ(run.status, 0) << run.output;
  std::map<std::string, Port> ports;
  std::istringstream in(run.output);
  Port port;
  std::string name;
  bool control = false, input = false;
  const std::regex point(R"re(^\t\t\t(-?[\d.]+) = "(.*)"$)re");
  auto finish = [&] {
    if (control && input && !name.empty()) ports[name] = port;
    port = Port{};
    name.clear();
    control = input = false;
  };
  for (std::string s; std::getline(in, s);) {
    std::smatch m;
    if (s.rfind("\tPort ", 0) == 0) finish();
    if (s.find("#ControlPort") != std::string::npos) control = true;
    if (s.find("#InputPort") != std::string::npos) input = true;
    if (s.rfind("\t\tName:", 0) == 0) name = s.substr(s.find_first_not_of(" \t", 7));
    if (s.rfind("\t\tMinimum:", 0) == 0) port.min = std::stod(s.substr(10));
    if (s.rfind("\t\tMaximum:", 0) == 0) port.max = std::stod(s.substr(10));
    if (s.rfind("\t\tDefault:", 0) == 0) port.def = std::stod(s.substr(10));
    if (std::regex_match(s, m, point)) port.texts[std::stod(m[1])] = m[2];
  }
  finish();
  return ports;
}

TEST(LV2Tools, Lv2infoShowsEveryParameterAsTheHostPrintsIt) {
  const std::map<std::string, Port> host = HostParams();
  ASSERT_EQ(host.size(), 13u);
  for (const char* uri : {lv2test::kMonoURI, lv2test::kStereoURI}) {
    SCOPED_TRACE(uri);
    std::map<std::string, Port> lv2 = Lv2infoControls(uri);
    ASSERT_EQ(lv2.count("Enabled"), 1u) << "the host's bypass";
    lv2.erase("Enabled");
    ASSERT_EQ(lv2.count("Editor Zoom"), 1u) << "the zoom the editor's interface writes";
    lv2.erase("Editor Zoom");
    ASSERT_EQ(lv2.size(), host.size());
    for (const auto& [name, expected] : host) {
      SCOPED_TRACE(name);
      ASSERT_EQ(lv2.count(name), 1u);
      const Port& shown = lv2.at(name);
      EXPECT_EQ(shown.min, expected.min);
      EXPECT_EQ(shown.max, expected.max);
      EXPECT_EQ(shown.def, expected.def);
      EXPECT_EQ(shown.texts, expected.texts);
    }
  }
}

TEST(LV2Tools, Lv2benchRunsBothPlugIns) {
  if (lv2test::SanitizedBuild()) GTEST_SKIP() << "lv2bench cannot load a sanitizer build";
  for (const char* uri : {lv2test::kMonoURI, lv2test::kStereoURI}) {
    const lv2test::ToolRun run = lv2test::RunTool({"lv2bench", "-b", "512", "-n", "24000", uri});
    EXPECT_EQ(run.status, 0) << run.output;
    // One line: the seconds it took and the plug-in.
    EXPECT_TRUE(std::regex_search(run.output, std::regex("^[0-9.]+ " + std::string(uri) + "\n")))
        << run.output;
  }
}

}  // namespace
