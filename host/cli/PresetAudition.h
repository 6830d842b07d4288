#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "host/cli/GainReductionStats.h"

namespace tbhost {

// What a preset did to one signal: the gain reduction of both sections over the whole signal
// and the peaks of the output.
struct AuditionFigures {
  GainReductionStats::Window reduction;
  double rmsDbfs = 0.0;  // over both channels
  double samplePeakDbfs = 0.0;
  double truePeakDbtp = 0.0;  // NaN where the build has no true-peak meter (Windows)
};

// Renders a signal through the plug-in linked into the host with a program file applied, as
// `render --preset` renders a file: the host's initialisation, one second of silence, then the
// signal in blocks of 512 frames and the latency's worth of silence, the output aligned with
// the input. How the factory presets are checked for what they do to the demo clip and to a
// loud finished mix. Main thread.
class PresetAudition {
public:
  static constexpr int kBlockFrames = 512;

  // `signal` holds `channels` (1 or 2) interleaved at `sampleRate`: a mono signal uses the
  // plug-in as a mono insert. False with `error` set when the plug-in cannot be made or refuses
  // the program.
  static bool Run(const std::vector<uint8_t>& program, const std::vector<float>& signal, int channels,
                  int sampleRate, AuditionFigures& out, std::string& error);
  // The mono signal of an interleaved stereo one: the mean of its channels.
  static std::vector<float> Mono(const std::vector<float>& stereo);
};

}  // namespace tbhost
