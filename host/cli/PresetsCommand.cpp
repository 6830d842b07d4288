#include "host/cli/PresetsCommand.h"

#include <cmath>
#include <cstdio>
#include <system_error>

#include "IPlug/AAX/IPlugAAX.h"
#include "host/cli/DemoClip.h"
#include "host/cli/InProcessPluginInstance.h"
#include "host/cli/LoudMix.h"
#include "host/cli/ParamResolver.h"
#include "host/cli/PresetAudition.h"
#include "host/cli/Utf8Path.h"
#include "host/cli/WholeFile.h"

namespace tbhost {
namespace {

std::unique_ptr<InProcessPluginInstance> MakeStandIn(std::string& error) {
  std::unique_ptr<iplug::IPlugAAX> plugin(MakePlugInstance(iplug::InstanceInfo{}));
  if (!plugin) {
    error = "cannot create the plug-in (out of memory)";
    return nullptr;
  }
  return std::make_unique<InProcessPluginInstance>(std::move(plugin));
}

constexpr size_t kLineWidth = 100;

// "Name=Text" for every parameter away from its default, wrapped and indented.
void PrintChangedSettings(InProcessPluginInstance& standIn, std::ostream& out) {
  std::string line;
  for (const ParamInfo& p : standIn.Parameters()) {
    const double value = standIn.Plugin().GetParam(p.index)->Value();
    if (!p.settable || value == p.defaultValue) continue;
    const std::string item = p.name + "=" + p.DisplayFor(value);
    if (!line.empty() && line.size() + 2 + item.size() > kLineWidth) {
      out << line << '\n';
      line.clear();
    }
    line += (line.empty() ? "    " : "  ") + item;
  }
  out << (line.empty() ? "    (every parameter at its default)" : line) << '\n';
}

struct Signal {
  const char* name;
  std::vector<float> samples;
  int channels;
};

std::string Figures(const AuditionFigures& f) {
  char text[160];
  std::snprintf(text, sizeof text, "%4.1f / %4.1f  %4.1f / %4.1f   %5.1f dBFS   %5.1f dBFS", f.reduction.compressorAvgDb,
                f.reduction.compressorMaxDb, f.reduction.limiterAvgDb, f.reduction.limiterMaxDb, f.rmsDbfs,
                f.samplePeakDbfs);
  std::string line = text;
  if (std::isnan(f.truePeakDbtp)) return line + "  (no true-peak meter in this build)";
  std::snprintf(text, sizeof text, "  %5.1f dBTP", f.truePeakDbtp);
  return line + text;
}

// What the preset does to each signal: a rendered measurement, not a promise.
bool PrintAuditions(const FactoryPresetFile& file, const std::vector<Signal>& signals, std::ostream& out,
                    std::string& error) {
  char header[120];
  std::snprintf(header, sizeof header, "    %-25s%-13s%-13s%-13s%-12s%s\n", "rendered on", "compressor", "limiter",
                "output RMS", "sample peak", "true peak");
  out << header;
  for (const Signal& signal : signals) {
    AuditionFigures figures;
    if (!PresetAudition::Run(file.bytes, signal.samples, signal.channels, DemoClip::kSampleRate, figures, error)) {
      error = "factory preset " + file.fileName + ": " + error;
      return false;
    }
    char name[48];
    std::snprintf(name, sizeof name, "      %-22s", signal.name);
    out << name << Figures(figures) << '\n';
  }
  return true;
}

}  // namespace

bool PresetsCommand::List(std::ostream& out, std::string& error) {
  out << "Factory presets. Apply one with render --preset NAME; --set settings go on top of it.\n"
         "Each is measured on the demo clip (drums, bass and chords, -1.0 dBFS peak) and on a loud\n"
         "finished mix (the same clip driven 16 dB into a limiter, -0.4 dBFS peak), as a stereo\n"
         "insert and as a mono one (the mean of the channels): the gain reduction of each section\n"
         "in dB (average / deepest) and the output's RMS level and peaks.\n";
  const std::vector<float> demo = DemoClip::Synthesise(), loud = LoudMix::Synthesise();
  const std::vector<Signal> signals = {{"demo clip", demo, 2},
                                       {"loud finished mix", loud, 2},
                                       {"demo clip, mono", PresetAudition::Mono(demo), 1},
                                       {"loud mix, mono", PresetAudition::Mono(loud), 1}};
  for (const FactoryPresetFile& file : FactoryPresets::Files()) {
    std::unique_ptr<InProcessPluginInstance> standIn = MakeStandIn(error);
    if (!standIn) return false;
    iplug::TextBuffer why;
    iplug::IPlugAAX& plugin = standIn->Plugin();
    if (!plugin.ReadProgramData(file.bytes.data(), static_cast<int>(file.bytes.size()), &why)) {
      error = "factory preset " + file.fileName + " " + why.Get();
      return false;
    }
    out << "\n" << plugin.PresetName(plugin.GetCurrentPresetIdx()) << "  (" << file.fileName << ")\n";
    if (const FactoryPreset* preset = FactoryPresets::ForFile(file.fileName)) out << "  " << preset->purpose << "\n";
    PrintChangedSettings(*standIn, out);
    if (!PrintAuditions(file, signals, out, error)) return false;
  }
  return true;
}

bool PresetsCommand::MakeProgram(const FactoryPreset& preset, std::vector<uint8_t>& bytes, std::string& error) {
  std::unique_ptr<InProcessPluginInstance> standIn = MakeStandIn(error);
  if (!standIn) return false;
  const ParamResolver resolver(standIn->Parameters());
  for (const std::string& text : preset.settings) {
    ParamSetting setting;
    if (!resolver.Resolve(text, setting, error)) {
      error = "factory preset \"" + preset.name + "\": " + error;
      return false;
    }
    standIn->SetParameter(setting.index, setting.value);
  }
  iplug::IPlugAAX& plugin = standIn->Plugin();
  plugin.ModifyCurrentPreset(preset.name.c_str());
  iplug::ByteChunk program;
  if (!plugin.MakeProgramData(program)) {
    error = "the plug-in gave no program for \"" + preset.name + "\"";
    return false;
  }
  bytes.assign(program.Data(), program.Data() + program.Size());
  return true;
}

bool PresetsCommand::Write(const std::string& dir, std::ostream& out, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(PathFromUtf8(dir), ec);
  if (!std::filesystem::is_directory(PathFromUtf8(dir), ec)) {
    error = "cannot create directory " + dir;
    return false;
  }
  for (const FactoryPreset& preset : FactoryPresets::Table()) {
    std::vector<uint8_t> bytes;
    const std::string path = PathToUtf8(PathFromUtf8(dir) / PathFromUtf8(preset.fileName));
    if (!MakeProgram(preset, bytes, error) || !WholeFile::Write(path, bytes.data(), bytes.size(), error)) return false;
    out << "wrote " << path << "  (" << preset.name << ")\n";
  }
  return true;
}

}  // namespace tbhost
