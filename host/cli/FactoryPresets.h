#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tbhost {

// One factory setting: what it is called and for, the program file it lives in (presets/),
// and the parameter settings ("NAME=VALUE", as --set takes them) the file was made from.
// Every parameter not named is at its default.
struct FactoryPreset {
  std::string name;
  std::string fileName;
  std::string purpose;
  std::vector<std::string> settings;
};

// A program file of presets/, compiled into the host.
struct FactoryPresetFile {
  std::string fileName;
  std::vector<uint8_t> bytes;
};

class FactoryPresets {
public:
  // The settings the factory program files are made from (`presets --write`).
  static const std::vector<FactoryPreset>& Table();
  // The program files as they stand in presets/, in file-name order (generated at build time
  // by cmake/FactoryPresets.cmake).
  static const std::vector<FactoryPresetFile>& Files();
  // The table entry of a file, or null.
  static const FactoryPreset* ForFile(const std::string& fileName);
};

}  // namespace tbhost
