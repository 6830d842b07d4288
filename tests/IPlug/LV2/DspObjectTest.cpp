#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "IPlug/LV2/ToolRun.h"

// The bundle's DSP object is what a host loads to process audio, also on machines without a
// window system or OpenGL: it needs none of their libraries. The editor and everything it
// draws with live in the user interface's object.
namespace {

std::string BundleFile(const char* name) {
  const char* built = std::getenv("TOLLENBROOK_LV2_PATH");
  return std::string(built ? built : "(TOLLENBROOK_LV2_PATH unset)") + "/Tollenbrook.lv2/" + name;
}

std::vector<std::string> NeededLibraries(const std::string& object) {
  const lv2test::ToolRun run = lv2test::RunTool({"readelf", "--dynamic", "--wide", object});
  EXPECT_EQ(run.status, 0) << run.output;
  std::vector<std::string> needed;
  const std::regex entry(R"(\(NEEDED\)\s+Shared library: \[(.+)\])");
  std::istringstream in(run.output);
  for (std::string line; std::getline(in, line);) {
    std::smatch m;
    if (std::regex_search(line, m, entry)) needed.push_back(m[1]);
  }
  return needed;
}

bool IsGuiLibrary(const std::string& soname) {
  static const std::regex gui(R"(^lib(X11|X11-xcb|xcb.*|X[a-z].*|GL|GLX|GLdispatch|EGL|OpenGL|gtk.*|gdk.*|cairo.*)\.so.*)");
  return std::regex_match(soname, gui);
}

TEST(LV2DspObject, NeedsNoWindowSystemOrOpenGLLibrary) {
  const std::vector<std::string> dsp = NeededLibraries(BundleFile("Tollenbrook.so"));
  ASSERT_FALSE(dsp.empty()) << "readelf found no needed library";
  for (const std::string& soname : dsp) EXPECT_FALSE(IsGuiLibrary(soname)) << soname;
  // The check itself would see them: the user interface's object needs X and OpenGL.
  const std::vector<std::string> ui = NeededLibraries(BundleFile("TollenbrookUI.so"));
  bool uiHasGui = false;
  for (const std::string& soname : ui) uiHasGui = uiHasGui || IsGuiLibrary(soname);
  EXPECT_TRUE(uiHasGui);
}

}  // namespace
