#include "host/cli/DemoCommand.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <system_error>

#include "host/cli/AudioFile.h"
#include "host/cli/DemoClip.h"
#include "host/cli/GainReductionStats.h"
#include "host/cli/LevelStats.h"
#include "host/cli/ParamResolver.h"
#include "host/cli/ProgressObserver.h"
#include "host/cli/RenderAnalysis.h"
#include "host/cli/RenderCommand.h"
#include "host/cli/TempOutputFile.h"
#include "host/cli/Utf8Path.h"

namespace tbhost {
namespace {

bool WriteClip(const std::string& path, std::string& error) {
  const std::vector<float> clip = DemoClip::Synthesise();
  TempOutputFile temp(path);
  const auto format = AudioFileFormat::Wav(DemoClip::kSampleRate, DemoClip::kChannels, SampleKind::kInteger, 24);
  std::unique_ptr<AudioFile> file = AudioFile::CreateForWriting(temp.Path(), format, error);
  if (!file) return false;
  if (!file->WriteFrames(clip.data(), static_cast<int64_t>(clip.size() / DemoClip::kChannels)) || !file->Close()) {
    error = "cannot write " + path + ": " + file->LastError();
    return false;
  }
  file.reset();
  return temp.Commit(error);
}

// Levels of the whole file and of each second.
struct FileLevels {
  LevelStats whole;
  std::vector<LevelStats> seconds;
};

bool MeasureFile(const std::string& path, FileLevels& levels, std::string& error) {
  std::unique_ptr<AudioFile> file = AudioFile::OpenForReading(path, error);
  if (!file) return false;
  const int channels = file->Format().channels;
  const int rate = file->Format().sampleRate;
  std::vector<float> second(static_cast<size_t>(rate * channels));
  for (;;) {
    const int64_t n = file->ReadFrames(second.data(), rate);
    if (n < 0) {
      error = "cannot read " + path + ": " + file->LastError();
      return false;
    }
    if (n == 0) return true;
    levels.whole.Add(second.data(), n * channels);
    levels.seconds.emplace_back().Add(second.data(), n * channels);
  }
}

std::string Fixed(double v, int width, int decimals = 1) {
  char buf[32];
  if (std::isinf(v))
    std::snprintf(buf, sizeof buf, "%*s", width, "-inf");
  else
    std::snprintf(buf, sizeof buf, "%*.*f", width, decimals, v);
  return buf;
}

std::string Quoted(const std::string& arg) {
  return arg.find_first_of(" \"'") == std::string::npos ? arg : "\"" + arg + "\"";
}

void PrintSummary(std::ostream& out, const std::string& dir, const FileLevels& in, const FileLevels& rendered,
                  const ReductionProbe& probe, const RenderResult& result, double seconds, const std::string& plot,
                  const FileReport& report) {
  const std::string inPath = PathToUtf8(PathFromUtf8(dir) / DemoCommand::kInputName);
  const std::string outPath = PathToUtf8(PathFromUtf8(dir) / DemoCommand::kOutputName);
  out << "Tollenbrook demo: " << DemoClip::kSeconds << " s of drums, bass and chords, "
      << DemoClip::kSampleRate << " Hz stereo, 24-bit WAV\n";
  out << "  input    " << inPath << "\n  output   " << outPath << "\n  plot     " << plot << "\n";
  out << "  setting ";
  for (const std::string& s : DemoCommand::Setting()) out << " --set " << Quoted(s);
  out << "\n  render   " << Fixed(seconds, 0, 2) << " s for " << DemoClip::kSeconds + 1.0
      << " s of audio (with the one-second pre-roll), latency " << result.latency << " samples\n\n";

  out << "Levels (dBFS)      peak     RMS\n";
  out << "  input         " << Fixed(in.whole.PeakDb(), 7) << " " << Fixed(in.whole.RmsDb(), 7) << "\n";
  out << "  output        " << Fixed(rendered.whole.PeakDb(), 7) << " " << Fixed(rendered.whole.RmsDb(), 7) << "\n";
  if (result.clippedSamples > 0) out << "  (" << result.clippedSamples << " output samples clipped)\n";
  out << "\nLoudness and peaks of ";
  std::string loudnessUnavailable;
  LoudnessMeter::Available(loudnessUnavailable);
  RenderReport::Print(report, loudnessUnavailable, out);
  out << "\n";

  if (!probe.Available()) {
    out << "Gain reduction: not reported by this build of the plug-in.\n";
    return;
  }
  // Headings in the same column widths as the rows below them.
  char heading[160];
  std::snprintf(heading, sizeof heading, "  %-16s%14s  %13s    %13s\n  %-16s%6s  %6s  %6s %6s    %6s %6s\n",
                "per second", "RMS dBFS  ", "compressor dB", "  limiter dB", "", "in", "out", "avg", "max", "avg",
                "max");
  out << heading;
  auto row = [&](std::string label, const LevelStats& a, const LevelStats& b, const GainReductionStats::Window& w) {
    label.append(label.size() < 16 ? 16 - label.size() : 0, ' ');
    out << "  " << label << Fixed(a.RmsDb(), 6) << "  " << Fixed(b.RmsDb(), 6) << "  " << Fixed(w.compressorAvgDb, 6)
        << " " << Fixed(w.compressorMaxDb, 6) << "    " << Fixed(w.limiterAvgDb, 6) << " " << Fixed(w.limiterMaxDb, 6)
        << "\n";
  };
  const auto& windows = probe.Seconds().Windows();
  for (size_t i = 0; i < windows.size() && i < in.seconds.size() && i < rendered.seconds.size(); ++i) {
    std::string label = std::to_string(i) + "-" + std::to_string(i + 1) + " s";
    label.insert(0, label.size() < 7 ? 7 - label.size() : 0, ' ');
    row(label, in.seconds[i], rendered.seconds[i], windows[i]);
  }
  row("whole clip", in.whole, rendered.whole, probe.Seconds().Overall());
}

}  // namespace

const std::vector<std::string>& DemoCommand::Setting() {
  // Bus compression: the compressor with a wide knee and automatic recovery evens out the
  // passages, the limiter holds the snare and the final hit, and make-up gain brings the
  // quiet passages up while the peaks stay where they were.
  static const std::vector<std::string> setting = {
      "Compressor Threshold=-2dB", "Ratio=3:1",
      "Compressor Recovery Time=Auto-1", "Limit Level=13dB",
      "Level Recovery Time=100ms", "High Pass Filter=80Hz",
      "Gain=4dB"};
  return setting;
}

bool DemoCommand::Run(const std::string& dir, const PluginFactory& makePlugin, std::FILE* progress,
                      const std::atomic<bool>* cancel, std::ostream& out, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(PathFromUtf8(dir), ec);
  if (ec || !std::filesystem::is_directory(PathFromUtf8(dir), ec)) {
    error = "cannot create directory " + dir + (ec ? ": " + ec.message() : "");
    return false;
  }
  RenderRequest request;
  request.input = PathToUtf8(PathFromUtf8(dir) / kInputName);
  request.output = PathToUtf8(PathFromUtf8(dir) / kOutputName);

  std::unique_ptr<PluginInstance> plugin = makePlugin(error);
  if (!plugin) return false;
  const ParamResolver resolver(plugin->Parameters());
  for (const std::string& s : Setting()) {
    ParamSetting setting;
    if (!resolver.Resolve(s, setting, error)) return false;
    request.options.settings.push_back(setting);
  }

  if (!WriteClip(request.input, error)) return false;
  RenderAnalysis::Wishes wishes;
  wishes.loudness = true;
  wishes.plotPath = PathToUtf8(PathFromUtf8(dir) / kPlotName);
  for (const std::string& s : Setting()) wishes.subtitle += (wishes.subtitle.empty() ? "" : ", ") + s;
  RenderAnalysis analysis(wishes);
  ProgressObserver observer(progress, "demo", cancel, &analysis.Probe());
  RenderResult result;
  const auto start = std::chrono::steady_clock::now();
  if (!RenderCommand::Run(request, *plugin, &observer, result, error)) return false;
  observer.Finish();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  FileReport report;
  std::string plotWarning;
  if (!analysis.Complete(request, result, report, plotWarning, error)) return false;
  FileLevels in, rendered;
  if (!MeasureFile(request.input, in, error) || !MeasureFile(request.output, rendered, error)) return false;
  PrintSummary(out, dir, in, rendered, analysis.Reduction(), result, seconds,
               plotWarning.empty() ? wishes.plotPath : "not drawn: " + plotWarning, report);
  return true;
}

}  // namespace tbhost
