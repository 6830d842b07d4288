#pragma once
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace iplug {
class IPlugLV2;
class LV2Catalogue;
}  // namespace iplug

// The plug-in's factory programs as LV2 presets (pset:Preset), one per program and plug-in of
// the bundle. Each program file is read by the plug-in object's own program reader, exactly
// as a host's program load or `tollenbrook-host render --preset` reads it; the preset then
// holds what the object holds afterwards: every parameter port's value and the complete state
// under the state key, so a host that applies only the ports and one that restores the state
// end up with the same settings.
class LV2PresetWriter {
public:
  struct Program {
    std::string mName;                // as the program file names it ("Drum Bus")
    std::vector<double> mValues;      // by parameter index
    std::vector<uint8_t> mState;      // the plug-in's state bytes
  };

  // Main thread. Reads every .fxp file of `dir` in file-name order into `plug`; false with
  // `error` set when a file is refused.
  bool Read(iplug::IPlugLV2& plug, const std::filesystem::path& dir, std::string& error);

  // The manifest's entries (pset:Preset, lv2:appliesTo, rdfs:seeAlso) and the presets file.
  void WriteManifestEntries(const iplug::LV2Catalogue& catalogue, const std::string& presetsFile,
                            std::ostream& out) const;
  void WritePresets(const iplug::IPlugLV2& plug, const iplug::LV2Catalogue& catalogue, std::ostream& out) const;

  const std::vector<Program>& Programs() const { return mPrograms; }

  // "<plug-in URI>:preset:<slug of the name>".
  static std::string PresetURI(const std::string& pluginURI, const std::string& name);
  static std::string Base64(const std::vector<uint8_t>& bytes);

private:
  std::vector<Program> mPrograms;
};
