#pragma once
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "host/cli/FactoryPresets.h"

namespace tbhost {

// `tollenbrook-host presets`: lists the factory presets compiled into the host with their
// settings and what each does to the demo clip and to a loud finished mix (gain reduction and
// output peaks, rendered by the plug-in linked into the host); with --write DIR, makes the factory program files afresh from their settings with
// the plug-in's own writer (how presets/ is regenerated).
class PresetsCommand {
public:
  // Main thread. Each file is read the way --preset reads it, and rendered on both signals.
  static bool List(std::ostream& out, std::string& error);
  // Main thread. Writes every preset of the table into dir (created when missing).
  static bool Write(const std::string& dir, std::ostream& out, std::string& error);
  // The program file of one table entry, as the plug-in writes it.
  static bool MakeProgram(const FactoryPreset& preset, std::vector<uint8_t>& bytes, std::string& error);
};

}  // namespace tbhost
