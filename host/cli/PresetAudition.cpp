#include "host/cli/PresetAudition.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "IPlug/AAX/IPlugAAX.h"
#include "host/cli/ReductionProbe.h"
#include "host/cli/InProcessPluginInstance.h"
#include "host/cli/LoudnessMeter.h"

namespace tbhost {
namespace {

constexpr int kMaxChannels = 2;
constexpr size_t kBlock = PresetAudition::kBlockFrames;

// Host-side buffers for one insert: the signal is split into channels, rendered block by
// block and interleaved again.
class Renderer {
public:
  Renderer(InProcessPluginInstance& plugin, int channels)
  : mPlugin(plugin), mChannels(channels), mInterleaved(kBlock * static_cast<size_t>(channels)) {}

  // Renders `frames` frames of `signal` from `first` (silence past its end) and returns the
  // output interleaved.
  const float* Block(const std::vector<float>& signal, int64_t first, int frames) {
    const int64_t available = static_cast<int64_t>(signal.size()) / mChannels;
    for (int c = 0; c < mChannels; ++c)
      for (int i = 0; i < frames; ++i)
        mIn[c][i] = first + i < available ? signal[static_cast<size_t>((first + i) * mChannels + c)] : 0.0f;
    const float* inputs[kMaxChannels] = {mIn[0], mIn[1]};
    float* outputs[kMaxChannels] = {mOut[0], mOut[1]};
    mPlugin.ProcessBlock(inputs, mKey, outputs, frames);
    for (int c = 0; c < mChannels; ++c)
      for (int i = 0; i < frames; ++i) mInterleaved[static_cast<size_t>(i * mChannels + c)] = mOut[c][i];
    return mInterleaved.data();
  }

private:
  InProcessPluginInstance& mPlugin;
  int mChannels;
  float mIn[kMaxChannels][kBlock] = {};
  float mOut[kMaxChannels][kBlock] = {};
  float mKey[kBlock] = {};
  std::vector<float> mInterleaved;
};

double PeakDb(double linear) {
  return linear > 0.0 ? 20.0 * std::log10(linear) : -std::numeric_limits<double>::infinity();
}

}  // namespace

std::vector<float> PresetAudition::Mono(const std::vector<float>& stereo) {
  std::vector<float> mono(stereo.size() / 2);
  for (size_t i = 0; i < mono.size(); ++i) mono[i] = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
  return mono;
}

bool PresetAudition::Run(const std::vector<uint8_t>& program, const std::vector<float>& signal, int channels,
                         int sampleRate, AuditionFigures& out, std::string& error) {
  std::unique_ptr<iplug::IPlugAAX> made(MakePlugInstance(iplug::InstanceInfo{}));
  if (!made) {
    error = "cannot create the plug-in (out of memory)";
    return false;
  }
  InProcessPluginInstance plugin(std::move(made));
  iplug::TextBuffer why;
  if (!plugin.Plugin().ReadProgramData(program.data(), static_cast<int>(program.size()), &why)) {
    error = std::string("the plug-in refuses the program: ") + why.Get();
    return false;
  }
  if (!plugin.Initialise(sampleRate, channels, false, error)) return false;
  std::string noMeter;
  std::unique_ptr<LoudnessMeter> meter = LoudnessMeter::Create(channels, sampleRate, noMeter);

  auto renderer = std::make_unique<Renderer>(plugin, channels);
  for (int64_t done = 0; done < sampleRate; done += kBlockFrames)
    renderer->Block({}, 0, static_cast<int>(std::min<int64_t>(kBlockFrames, sampleRate - done)));
  const int64_t frames = static_cast<int64_t>(signal.size()) / channels;
  const int latency = plugin.Latency();
  GainReductionStats reduction(sampleRate);
  ReductionProbe::Meters meters;
  const bool metered = ReductionProbe::FindMeters(plugin, meters);
  double peak = 0.0, energy = 0.0;
  for (int64_t first = 0; first < frames + latency; first += kBlockFrames) {
    const int n = static_cast<int>(std::min<int64_t>(kBlockFrames, frames + latency - first));
    const float* rendered = renderer->Block(signal, first, n);
    if (metered)
      reduction.Add(first, n, SectionReduction{plugin.MeterValue(meters.limiter), plugin.MeterValue(meters.compressor)},
                    frames);
    // The first `latency` frames belong to the silence before the signal.
    const int skip = static_cast<int>(std::clamp<int64_t>(latency - first, 0, n));
    for (int i = skip * channels; i < n * channels; ++i) {
      peak = std::max<double>(peak, std::fabs(rendered[i]));
      energy += static_cast<double>(rendered[i]) * rendered[i];
    }
    if (meter && n > skip) meter->Add(rendered + skip * channels, n - skip);
  }
  out.reduction = reduction.Overall();
  const double samples = static_cast<double>(std::max<int64_t>(frames, 1) * channels);
  out.rmsDbfs = 10.0 * std::log10(std::max(energy / samples, 1e-30));
  out.samplePeakDbfs = PeakDb(peak);
  out.truePeakDbtp = meter ? meter->Figures().truePeakDbtp : std::numeric_limits<double>::quiet_NaN();
  return true;
}

}  // namespace tbhost
