#include "host/cli/PresetFiles.h"

#include <algorithm>
#include <cctype>

#include "IPlug/AAX/IPlugAAX.h"
#include "IPlug/FxFile.h"
#include "host/cli/CommandLine.h"
#include "host/cli/FactoryPresets.h"
#include "host/cli/InProcessPluginInstance.h"
#include "host/cli/RenderCommand.h"
#include "host/cli/Utf8Path.h"
#include "host/cli/WholeFile.h"

namespace tbhost {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

}  // namespace

std::unique_ptr<PresetFiles> PresetFiles::Create(std::string& error) {
  std::unique_ptr<iplug::IPlugAAX> plugin(MakePlugInstance(iplug::InstanceInfo{}));
  if (!plugin) {
    error = "cannot create the plug-in for its preset files (out of memory)";
    return nullptr;
  }
  return std::unique_ptr<PresetFiles>(new PresetFiles(std::make_unique<InProcessPluginInstance>(std::move(plugin))));
}

PresetFiles::PresetFiles(std::unique_ptr<InProcessPluginInstance> standIn) : mStandIn(std::move(standIn)) {}

PresetFiles::~PresetFiles() = default;

bool PresetFiles::Follow(PluginInstance& plugin, std::string& error) {
  PluginState own, standIn;
  if (!plugin.SaveState(own, error) || !mStandIn->SaveState(standIn, error)) return false;
  // Every binding of the product keeps its whole chunk as its state, whatever the host's name
  // for the format (an AAX chunk, an LV2 state property): the stand-in reads the bytes as its
  // own chunk, and the settings go back to the plug-in under the plug-in's own format.
  mPluginFormat = own.format;
  own.format = standIn.format;
  if (!mStandIn->LoadState(own, error)) {
    error = "the plug-in's own state " + error;
    return false;
  }
  return true;
}

bool PresetFiles::Load(const std::vector<uint8_t>& bytes, bool bank, const std::string& label, PluginInstance& plugin,
                       std::string& error) {
  if (!Follow(plugin, error)) return false;
  iplug::IPlugAAX& standIn = mStandIn->Plugin();
  iplug::TextBuffer why;
  const int size = static_cast<int>(bytes.size());
  if (!(bank ? standIn.ReadBankData(bytes.data(), size, &why) : standIn.ReadProgramData(bytes.data(), size, &why))) {
    error = label + " " + why.Get();
    return false;
  }
  PluginState state;
  if (!mStandIn->SaveState(state, error)) return false;
  state.format = mPluginFormat;
  return plugin.LoadState(state, error);
}

bool PresetFiles::LoadProgram(const std::string& path, PluginInstance& plugin, std::string& error) {
  std::vector<uint8_t> bytes;
  return WholeFile::Read(path, "program", iplug::IPluginBase::kMaxPresetFileSize, bytes, error) &&
         Load(bytes, false, "program " + path, plugin, error);
}

bool PresetFiles::LoadBank(const std::string& path, PluginInstance& plugin, std::string& error) {
  std::vector<uint8_t> bytes;
  return WholeFile::Read(path, "bank", iplug::IPluginBase::kMaxPresetFileSize, bytes, error) &&
         Load(bytes, true, "bank " + path, plugin, error);
}

bool PresetFiles::LoadFactoryPreset(const std::string& name, PluginInstance& plugin, std::string& error) {
  const std::string wanted = Lower(name);
  std::string known;
  for (const FactoryPresetFile& file : FactoryPresets::Files()) {
    const std::string programName = ProgramName(file.bytes);
    const std::string stem = file.fileName.substr(0, file.fileName.rfind('.'));
    if (wanted == Lower(programName) || wanted == Lower(file.fileName) || wanted == Lower(stem))
      return Load(file.bytes, false, "factory preset " + file.fileName, plugin, error);
    known += (known.empty() ? "" : ", ") + ("\"" + programName + "\"");
  }
  error = "no factory preset is called '" + name + "' (there are " + (known.empty() ? "none" : known) +
          "; see tollenbrook-host presets)";
  return false;
}

bool PresetFiles::Save(const std::string& path, bool bank, PluginInstance& plugin, std::string& error) {
  if (!Follow(plugin, error)) return false;
  iplug::IPlugAAX& standIn = mStandIn->Plugin();
  // A setting that came from no program is named after the file it goes into.
  if (!standIn.IsPresetInitialized(standIn.GetCurrentPresetIdx()))
    standIn.ModifyCurrentPreset(PathToUtf8(PathFromUtf8(path).stem()).c_str());
  iplug::ByteChunk bytes;
  if (!(bank ? standIn.MakeBankData(bytes) : standIn.MakeProgramData(bytes))) {
    error = "the plug-in gave no " + std::string(bank ? "bank" : "program") + " for " + path;
    return false;
  }
  return WholeFile::Write(path, bytes.Data(), static_cast<size_t>(bytes.Size()), error);
}

bool PresetFiles::SaveProgram(const std::string& path, PluginInstance& plugin, std::string& error) {
  return Save(path, false, plugin, error);
}

bool PresetFiles::SaveBank(const std::string& path, PluginInstance& plugin, std::string& error) {
  return Save(path, true, plugin, error);
}

bool PresetFiles::BeforeRender(const CommandLine& cmd, PluginInstance& plugin, std::unique_ptr<PresetFiles>& files,
                               std::string& error) {
  for (const std::string* target : {&cmd.saveProgram, &cmd.saveBank})
    if (!target->empty() && !RenderCommand::CheckWritable(*target, error)) return false;
  const bool loads = !cmd.loadBank.empty() || !cmd.loadProgram.empty() || !cmd.preset.empty();
  if (!loads && cmd.saveProgram.empty() && cmd.saveBank.empty()) return true;
  if (!files && !(files = Create(error))) return false;
  return (cmd.loadBank.empty() || files->LoadBank(cmd.loadBank, plugin, error)) &&
         (cmd.loadProgram.empty() || files->LoadProgram(cmd.loadProgram, plugin, error)) &&
         (cmd.preset.empty() || files->LoadFactoryPreset(cmd.preset, plugin, error));
}

bool PresetFiles::AfterRender(const CommandLine& cmd, PluginInstance& plugin, std::unique_ptr<PresetFiles>& files,
                              std::string& error) {
  if (cmd.saveProgram.empty() && cmd.saveBank.empty()) return true;
  if (!files && !(files = Create(error))) return false;
  return (cmd.saveProgram.empty() || files->SaveProgram(cmd.saveProgram, plugin, error)) &&
         (cmd.saveBank.empty() || files->SaveBank(cmd.saveBank, plugin, error));
}

std::string PresetFiles::ProgramName(const std::vector<uint8_t>& bytes) {
  iplug::FxFile::Program program;
  return iplug::FxFile::ParseProgram(bytes.data(), static_cast<int>(bytes.size()), program, nullptr) ? program.name
                                                                                                      : "";
}

}  // namespace tbhost
