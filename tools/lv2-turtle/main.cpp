// tollenbrook-lv2-turtle OUTDIR [CATEGORY] [--presets DIR]
//
// Writes manifest.ttl and the plug-ins' description into the LV2 bundle folder OUTDIR, from
// a plug-in object made by the product's own factory: the ports, names, ranges, defaults,
// steps and display texts come from its parameter table, as the binary lays them out.
// CATEGORY names the LV2 plug-in class without its suffix ("Dynamics"). With --presets, the
// factory program files (.fxp) of DIR become the plug-ins' presets (presets.ttl), read by the
// same plug-in object.
// Each file is written beside its place and renamed when complete.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <memory>
#include <string>
#include <vector>

#include "IPlug/LV2/IPlugLV2.h"
#include "IPlug/LV2/LV2Turtle.h"
#include "tools/lv2-turtle/LV2PresetWriter.h"

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
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string presetDir;
  for (size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] != "--presets") continue;
    presetDir = args[i + 1];
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    break;
  }
  if (args.empty() || args.size() > 2 || args[0].rfind("--", 0) == 0) {
    std::fprintf(stderr, "usage: tollenbrook-lv2-turtle OUTDIR [CATEGORY] [--presets DIR]\n");
    return 2;
  }
  const std::filesystem::path dir = args[0];
  std::unique_ptr<iplug::IPlugLV2> plug(MakePlugInstance(iplug::InstanceInfo{}));
  if (!plug) {
    std::fprintf(stderr, "tollenbrook-lv2-turtle: cannot create the plug-in\n");
    return 1;
  }
  const iplug::LV2Turtle turtle(*plug, args.size() > 1 ? args[1] : "");
  std::ostringstream manifest, plugins;
  turtle.WriteManifest(manifest);
  turtle.WritePlugins(plugins);

  // The presets are read last: the description above is of the plug-in at its defaults.
  LV2PresetWriter presets;
  std::ostringstream presetTurtle;
  const std::string presetsFile = "presets.ttl";
  if (!presetDir.empty()) {
    std::string error;
    if (!presets.Read(*plug, presetDir, error)) {
      std::fprintf(stderr, "tollenbrook-lv2-turtle: %s\n", error.c_str());
      return 1;
    }
    presets.WriteManifestEntries(turtle.Catalogue(), presetsFile, manifest);
    presets.WritePresets(*plug, turtle.Catalogue(), presetTurtle);
  }

  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (!WriteFile(dir / "manifest.ttl", manifest.str()) ||
      !WriteFile(dir / turtle.Catalogue().TurtleName(), plugins.str()) ||
      (!presetDir.empty() && !WriteFile(dir / presetsFile, presetTurtle.str()))) {
    std::fprintf(stderr, "tollenbrook-lv2-turtle: cannot write into %s\n", dir.string().c_str());
    return 1;
  }
  return 0;
}
