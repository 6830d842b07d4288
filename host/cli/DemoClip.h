#pragma once
#include <cstdint>
#include <vector>

namespace tbhost {

// A short music-like test clip made from nothing: five bars at 120 beats per minute of drums,
// bass and chords, with a quiet intro, a loud middle with hard snare transients, a breakdown and
// a final hit. Noise comes from a fixed-seed generator, so the clip is the same on every run.
class DemoClip {
public:
  static constexpr int kSampleRate = 48000;
  static constexpr int kChannels = 2;
  static constexpr double kSeconds = 10.0;

  // Interleaved stereo, peak normalised to -1 dBFS.
  static std::vector<float> Synthesise(int sampleRate = kSampleRate);
};

}  // namespace tbhost
