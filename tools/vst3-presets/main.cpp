// tollenbrook-vst3-presets OUTDIR CLASSID FXP...
//
// Writes one VST3 preset (.vstpreset) per factory program file into OUTDIR, for the component
// of class CLASSID (32 hexadecimal digits). Each program file is read by the plug-in's own
// program reader into a plug-in object made by the product's factory, whose complete state
// becomes the preset's component state: loading the preset gives exactly the program's
// settings. The preset is named after the program. Each file is written beside its place and
// renamed when complete.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "IPlug/VST3/IPlugVST3.h"
#include "IPlug/VST3/VST3PresetFile.h"

namespace {

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  const std::filesystem::path temp = path.string() + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) return false;
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  return !ec;
}

// The program's name, safe as a file name on every system the bundle installs on.
std::string FileName(const char* name, const std::filesystem::path& fallback) {
  std::string out;
  for (const char* c = name; c && *c; ++c) out += std::string("<>:\"/\\|?*").find(*c) == std::string::npos ? *c : '_';
  return out.empty() ? fallback.stem().string() : out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || std::string(argv[2]).size() != iplug::VST3PresetFile::kClassIDChars) {
    std::fprintf(stderr, "usage: tollenbrook-vst3-presets OUTDIR CLASSID FXP...\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  for (int i = 3; i < argc; ++i) {
    std::unique_ptr<iplug::IPlugVST3> plug(MakePlugInstance(iplug::InstanceInfo{}));
    if (!plug) {
      std::fprintf(stderr, "tollenbrook-vst3-presets: cannot create the plug-in\n");
      return 1;
    }
    if (!plug->ReadProgramFile(argv[i])) {
      std::fprintf(stderr, "tollenbrook-vst3-presets: %s is not a program of this plug-in\n", argv[i]);
      return 1;
    }
    iplug::ByteChunk state;
    if (!plug->SerializeState(state)) return 1;
    iplug::VST3PresetFile preset;
    preset.mClassID = argv[2];
    preset.mComponentState.assign(state.Data(), state.Data() + state.Size());
    const std::string name = FileName(plug->PresetName(plug->GetCurrentPresetIdx()), argv[i]);
    if (!WriteFile(dir / (name + ".vstpreset"), preset.Write())) {
      std::fprintf(stderr, "tollenbrook-vst3-presets: cannot write into %s\n", dir.string().c_str());
      return 1;
    }
  }
  return 0;
}
