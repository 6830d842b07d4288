// tollenbrook-lv2-turtle OUTDIR [CATEGORY]
//
// Writes manifest.ttl and the plug-ins' description into the LV2 bundle folder OUTDIR, from
// a plug-in object made by the product's own factory: the ports, names, ranges, defaults,
// steps and display texts come from its parameter table, as the binary lays them out.
// CATEGORY names the LV2 plug-in class without its suffix ("Dynamics").
// Each file is written beside its place and renamed when complete.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <memory>
#include <string>

#include "IPlug/LV2/IPlugLV2.h"
#include "IPlug/LV2/LV2Turtle.h"

namespace {

bool WriteFile(const std::filesystem::path& path, const std::string& text) {
  const std::filesystem::path temp = path.string() + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) return false;
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  return !ec;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: tollenbrook-lv2-turtle OUTDIR [CATEGORY]\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::unique_ptr<iplug::IPlugLV2> plug(MakePlugInstance(iplug::InstanceInfo{}));
  if (!plug) {
    std::fprintf(stderr, "tollenbrook-lv2-turtle: cannot create the plug-in\n");
    return 1;
  }
  const iplug::LV2Turtle turtle(*plug, argc > 2 ? argv[2] : "");
  std::ostringstream manifest, plugins;
  turtle.WriteManifest(manifest);
  turtle.WritePlugins(plugins);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (!WriteFile(dir / "manifest.ttl", manifest.str()) ||
      !WriteFile(dir / turtle.Catalogue().TurtleName(), plugins.str())) {
    std::fprintf(stderr, "tollenbrook-lv2-turtle: cannot write into %s\n", dir.string().c_str());
    return 1;
  }
  return 0;
}
