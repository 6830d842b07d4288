#include "host/ModuleFixtures.h"

#include <cmath>
#include <limits>
#include <sstream>

#include "host/TestFiles.h"
#include "host/cli/InProcessPluginInstance.h"
#include "host/cli/PluginLoader.h"
#include "host/cli/ModuleLocator.h"

namespace hosttest {

std::string BuiltModule() {
  std::string error;
  return tbhost::ModuleLocator::FindBesideExecutable(error);
}

namespace {
HostRun Run(const std::vector<std::string>& args, bool module) {
  std::ostringstream out, err;
  tbhost::HostEnvironment env{out, err, nullptr, tbhost::InProcessPluginInstance::Create, nullptr,
                              module ? tbhost::PluginFileFactory(tbhost::PluginLoader::Load) : nullptr};
  HostRun r;
  r.status = tbhost::RunHost(args, env);
  r.out = out.str();
  r.err = err.str();
  return r;
}
}  // namespace

HostRun RunModuleHost(const std::vector<std::string>& args) { return Run(args, true); }
HostRun RunInProcessHost(const std::vector<std::string>& args) { return Run(args, false); }

void WriteFloatWav(const std::string& path, int channels, int sampleRate, const std::vector<double>& interleaved) {
  ReferenceWav w;
  w.formatTag = 3;
  w.subFormat = 3;
  w.channels = static_cast<uint16_t>(channels);
  w.sampleRate = static_cast<uint32_t>(sampleRate);
  w.containerBits = 32;
  w.validBits = 32;
  w.floats = interleaved;
  w.hasFact = true;
  WriteBytes(path, w.Encode());
}

std::vector<double> MusicSignal(int frames, int channels, int sampleRate, double peak) {
  constexpr double kTwoPi = 6.283185307179586;
  std::vector<double> out(static_cast<size_t>(frames) * static_cast<size_t>(channels));
  uint32_t noise = 12345;
  for (int i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / sampleRate;
    // Passages of a quarter second, every third one loud.
    const double level = (static_cast<int>(t * 4.0) % 3 == 2) ? 1.0 : 0.2;
    noise = noise * 1664525u + 1013904223u;
    const double hiss = (static_cast<double>(noise >> 8) / 8388608.0 - 1.0) * 0.15;
    for (int c = 0; c < channels; ++c) {
      const double chord = 0.3 * std::sin(kTwoPi * (220.0 + 3.0 * c) * t) + 0.2 * std::sin(kTwoPi * 277.2 * t) +
                           0.2 * std::sin(kTwoPi * 329.6 * t);
      const double bass = 0.3 * std::sin(kTwoPi * 55.0 * t);
      out[static_cast<size_t>(i) * static_cast<size_t>(channels) + static_cast<size_t>(c)] =
          peak * level * (chord + bass + hiss);
    }
  }
  return out;
}

double MaxDifference(const ReferenceWav& a, const ReferenceWav& b) {
  if (a.channels != b.channels || a.floats.size() != b.floats.size() || a.floats.empty())
    return std::numeric_limits<double>::infinity();
  double worst = 0.0;
  for (size_t i = 0; i < a.floats.size(); ++i) worst = std::max(worst, std::fabs(a.floats[i] - b.floats[i]));
  return worst;
}

}  // namespace hosttest
