#include "host/cli/RenderAnalysis.h"

#include <memory>
#include <vector>

#include "host/cli/AudioFile.h"
#include "host/cli/GainReductionPlot.h"
#include "host/cli/Utf8Path.h"

namespace tbhost {
namespace {

// One file read back once: its format, its loudness (when a meter is wanted and the build has
// one) and its envelope (when `envelope` has columns).
struct Measurement {
  AudioFileFormat format;
  bool measured = false;
  LoudnessFigures loudness;
  WaveEnvelope envelope;
};

bool Measure(const std::string& path, bool loudness, int columns, Measurement& m, std::string& error) {
  std::unique_ptr<AudioFile> file = AudioFile::OpenForReading(path, error);
  if (!file) return false;
  m.format = file->Format();
  std::unique_ptr<LoudnessMeter> meter;
  std::string why;
  if (loudness && LoudnessMeter::Available(why)) {
    meter = LoudnessMeter::Create(m.format.channels, m.format.sampleRate, error);
    if (!meter) return false;
  }
  m.envelope = WaveEnvelope(columns, m.format.frames);
  constexpr int64_t kChunk = 8192;
  std::vector<float> buffer(static_cast<size_t>(kChunk * m.format.channels));
  for (;;) {
    const int64_t n = file->ReadFrames(buffer.data(), kChunk);
    if (n < 0) {
      error = "cannot read " + path + ": " + file->LastError();
      return false;
    }
    if (n == 0) break;
    if (meter && !meter->Add(buffer.data(), n)) {
      error = "cannot measure the loudness of " + path;
      return false;
    }
    m.envelope.Add(buffer.data(), n, m.format.channels);
  }
  if (meter) {
    m.loudness = meter->Figures();
    m.measured = true;
  }
  return true;
}

std::string FileName(const std::string& path) { return PathToUtf8(PathFromUtf8(path).filename()); }

}  // namespace

RenderAnalysis::RenderAnalysis(Wishes wishes)
: mWishes(std::move(wishes)), mProbe(mWishes.plotPath.empty() ? 0 : GainReductionPlot::kColumns) {}

bool RenderAnalysis::Complete(const RenderRequest& request, const RenderResult& result, FileReport& report,
                              std::string& plotWarning, std::string& error) {
  report.input = request.input;
  report.output = request.output;
  report.rendered = true;
  report.result = result;
  report.format = mProbe.Input();
  report.reductionAvailable = mProbe.Available();
  if (report.reductionAvailable) {
    report.reduction = mProbe.Seconds().Overall();
    report.perSecond = mProbe.Seconds().Windows();
  }

  std::string why;
  const bool plot = !mWishes.plotPath.empty() && GainReductionPlot::Available(why);
  if (!mWishes.plotPath.empty() && !plot) plotWarning = why;
  if (!mWishes.loudness && !plot) return true;

  const int columns = plot ? GainReductionPlot::kColumns : 0;
  Measurement in, out;
  if (!Measure(request.input, mWishes.loudness, columns, in, error) ||
      !Measure(request.output, mWishes.loudness, columns, out, error))
    return false;
  report.loudnessMeasured = in.measured && out.measured;
  report.inputLoudness = in.loudness;
  report.outputLoudness = out.loudness;
  if (!plot) return true;

  PlotData data;
  data.title = "Tollenbrook: " + FileName(request.input) + " -> " + FileName(request.output);
  data.subtitle = mWishes.subtitle;
  data.sampleRate = in.format.sampleRate;
  data.frames = in.format.frames;
  data.input = std::move(in.envelope);
  data.output = std::move(out.envelope);
  data.reductionAvailable = mProbe.Available();
  data.slices = mProbe.Slices().Windows();
  return GainReductionPlot::Write(mWishes.plotPath, data, error);
}

}  // namespace tbhost
