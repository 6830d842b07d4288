#pragma once
#include <vector>

#include "host/cli/DemoClip.h"

namespace tbhost {

// A finished mix at its loudest, as a mastering preset meets it: the demo clip's drums, bass
// and chords driven 16 dB into a look-ahead peak limiter, so that the level stays a few dB
// under the peaks throughout, and its sample peak set to -0.4 dBFS. Made from nothing and the
// same on every run, like the demo clip.
class LoudMix {
public:
  static constexpr double kPeakDbfs = -0.4;
  static constexpr double kDriveDb = 16.0;

  // Interleaved stereo, DemoClip::kSeconds long.
  static std::vector<float> Synthesise(int sampleRate = DemoClip::kSampleRate);
};

}  // namespace tbhost
