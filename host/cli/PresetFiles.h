#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/cli/PluginInstance.h"

namespace iplug {
class IPlugAAX;
}

namespace tbhost {

class InProcessPluginInstance;
struct CommandLine;

// Program and bank files for the plug-in the host drives (the module, or the one linked in).
// A host reaches the module only through its state chunk and its parameters; it has no preset
// slots and no file calls. So the host keeps a stand-in: a plug-in object of its own (the
// product linked into the host) that takes the module's state chunk, reads or writes the file
// with the framework's own readers and writers, and hands a loaded setting back as a state
// chunk. The files are thus exactly the plug-in's own, a refused file never reaches the
// module, and every file goes through one reader (the one that also guards the plug-in
// against damaged files). The stand-in's current slot keeps the name of the last program
// loaded, which a program or bank saved later in the same run carries.
// Main thread.
class PresetFiles {
public:
  // Null with `error` set when the stand-in cannot be made.
  static std::unique_ptr<PresetFiles> Create(std::string& error);
  ~PresetFiles();

  // Each false with `error` set ("program X.fxp belongs to another plug-in ..."); the
  // plug-in is then unchanged.
  bool LoadProgram(const std::string& path, PluginInstance& plugin, std::string& error);
  bool LoadBank(const std::string& path, PluginInstance& plugin, std::string& error);
  // A factory preset by its name (any case) or its file name, with or without ".fxp".
  bool LoadFactoryPreset(const std::string& name, PluginInstance& plugin, std::string& error);
  // The plug-in's settings as a program or bank file; a failed write leaves no file.
  bool SaveProgram(const std::string& path, PluginInstance& plugin, std::string& error);
  bool SaveBank(const std::string& path, PluginInstance& plugin, std::string& error);

  // The preset options of a render, before it: --load-bank, --load-program, --preset in that
  // order (each after --load-state, all before --set), with the save targets checked as
  // well, so nothing is rendered for a file that will be refused. `files` is made when an
  // option needs it.
  static bool BeforeRender(const CommandLine& cmd, PluginInstance& plugin, std::unique_ptr<PresetFiles>& files,
                           std::string& error);
  // After the render: --save-program and --save-bank with the settings used.
  static bool AfterRender(const CommandLine& cmd, PluginInstance& plugin, std::unique_ptr<PresetFiles>& files,
                          std::string& error);

  // The program name held in a program file's bytes, or "" when they hold none.
  static std::string ProgramName(const std::vector<uint8_t>& bytes);

private:
  explicit PresetFiles(std::unique_ptr<InProcessPluginInstance> standIn);
  bool Load(const std::vector<uint8_t>& bytes, bool bank, const std::string& label, PluginInstance& plugin,
            std::string& error);
  bool Save(const std::string& path, bool bank, PluginInstance& plugin, std::string& error);
  // The stand-in takes the plug-in's current state.
  bool Follow(PluginInstance& plugin, std::string& error);

  std::unique_ptr<InProcessPluginInstance> mStandIn;
  std::string mPluginFormat;  // the format of the plug-in's state, as Follow last saw it
};

}  // namespace tbhost
