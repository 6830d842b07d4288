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
#include "host/cli/RenderCommand.h"
#include "host/cli/TempOutputFile.h"
#include "host/cli/Utf8Path.h"

namespace tbhost {
namespace {

// Collects the plug-in's per-block gain reduction into one-second windows.
class ReductionProbe final : public RenderObserver {
public:
  ReductionProbe(int sampleRate, int64_t frames) : mStats(sampleRate), mFrames(frames) {}

  void OnFileBlock(const PluginInstance& plugin, int64_t firstFrame, int nFrames) override {
    SectionReduction r;
    if (!plugin.LastBlockReduction(r)) return;
    mAvailable = true;
    mStats.Add(firstFrame, nFrames, r, mFrames);
  }

  bool Available() const { return mAvailable; }
  const GainReductionStats& Stats() const { return mStats; }

private:
  GainReductionStats mStats;
  int64_t mFrames;
  bool mAvailable = false;
};

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

bool MeasureFile(const std::string& path, LevelStats& stats, std::string& error) {
  std::unique_ptr<AudioFile> file = AudioFile::OpenForReading(path, error);
  if (!file) return false;
  std::vector<float> buffer(static_cast<size_t>(4096 * file->Format().channels));
  for (;;) {
    const int64_t n = file->ReadFrames(buffer.data(), 4096);
    if (n < 0) {
      error = "cannot read " + path + ": " + file->LastError();
      return false;
    }
    if (n == 0) return true;
    stats.Add(buffer.data(), n * file->Format().channels);
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

void PrintSummary(std::ostream& out, const std::string& dir, const LevelStats& in, const LevelStats& outLevels,
                  const ReductionProbe& probe, const RenderResult& result, double seconds) {
  const std::string inPath = PathToUtf8(PathFromUtf8(dir) / DemoCommand::kInputName);
  const std::string outPath = PathToUtf8(PathFromUtf8(dir) / DemoCommand::kOutputName);
  out << "Tollenbrook demo: " << DemoClip::kSeconds << " s of drums, bass and chords, "
      << DemoClip::kSampleRate << " Hz stereo, 24-bit WAV\n";
  out << "  input   " << inPath << "\n  output  " << outPath << "\n";
  out << "  setting";
  for (const std::string& s : DemoCommand::Setting()) out << "  " << Quoted(s);
  out << "\n  render  " << Fixed(seconds, 0, 2) << " s for " << DemoClip::kSeconds + 1.0
      << " s of audio (with the one-second pre-roll), latency " << result.latency << " samples\n\n";

  out << "Levels (dBFS)     peak     RMS\n";
  out << "  input        " << Fixed(in.PeakDb(), 7) << " " << Fixed(in.RmsDb(), 7) << "\n";
  out << "  output       " << Fixed(outLevels.PeakDb(), 7) << " " << Fixed(outLevels.RmsDb(), 7) << "\n";
  if (result.clippedSamples > 0) out << "  (" << result.clippedSamples << " output samples clipped)\n";
  out << "\n";

  if (!probe.Available()) {
    out << "Gain reduction: not reported by this build of the plug-in.\n";
    return;
  }
  out << "Gain reduction (dB)   compressor       limiter\n";
  out << "  second               avg    max     avg    max\n";
  const auto& windows = probe.Stats().Windows();
  auto row = [&](const std::string& label, const GainReductionStats::Window& w) {
    out << "  " << label << "  " << Fixed(w.compressorAvgDb, 6) << " " << Fixed(w.compressorMaxDb, 6) << "  "
        << Fixed(w.limiterAvgDb, 6) << " " << Fixed(w.limiterMaxDb, 6) << "\n";
  };
  for (size_t i = 0; i < windows.size(); ++i) {
    std::string label = std::to_string(i) + "-" + std::to_string(i + 1) + " s";
    label.insert(0, label.size() < 8 ? 8 - label.size() : 0, ' ');
    label.append(label.size() < 18 ? 18 - label.size() : 0, ' ');
    row(label, windows[i]);
  }
  row("whole clip        ", probe.Stats().Overall());
}

}  // namespace

const std::vector<std::string>& DemoCommand::Setting() {
  // A bus-style setting: moderate compression with automatic recovery, the limiter catching the
  // snare transients, a little make-up gain.
  static const std::vector<std::string> setting = {
      "Compressor Threshold=-4dB", "Ratio=3:1",       "Compressor Recovery Time=Auto-1",
      "Limit Level=10dB",          "Level Recovery Time=100ms", "High Pass Filter=80Hz",
      "Gain=3dB"};
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
  const auto frames = static_cast<int64_t>(DemoClip::kSeconds * DemoClip::kSampleRate);
  ReductionProbe probe(DemoClip::kSampleRate, frames);
  ProgressObserver observer(progress, "demo", cancel, &probe);
  RenderResult result;
  const auto start = std::chrono::steady_clock::now();
  if (!RenderCommand::Run(request, *plugin, &observer, result, error)) return false;
  observer.Finish();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  LevelStats in, outLevels;
  if (!MeasureFile(request.input, in, error) || !MeasureFile(request.output, outLevels, error)) return false;
  PrintSummary(out, dir, in, outLevels, probe, result, seconds);
  return true;
}

}  // namespace tbhost
