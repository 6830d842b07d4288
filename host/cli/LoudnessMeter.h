#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace tbhost {

// Loudness and peaks of a whole signal, as broadcast and streaming deliveries are checked:
// integrated loudness and loudness range (ITU-R BS.1770 gating, EBU R128), the largest sample
// and the true (inter-sample) peak from the oversampled signal. Silence reads minus infinity.
struct LoudnessFigures {
  double integratedLufs = 0.0;
  double loudnessRangeLu = 0.0;
  double samplePeakDbfs = 0.0;
  double truePeakDbtp = 0.0;
};

// Measures one signal fed to it in pieces. The Linux build measures with libebur128; the
// Windows build has no such library and says so instead of guessing.
// One thread at a time; separate meters may run on separate threads.
class LoudnessMeter {
public:
  virtual ~LoudnessMeter() = default;

  // False with `why` set when this build cannot measure loudness.
  static bool Available(std::string& why);
  // Null with `error` set for a channel count or rate the meter cannot take, or when the
  // build has no meter.
  static std::unique_ptr<LoudnessMeter> Create(int channels, int sampleRate, std::string& error);

  virtual bool Add(const float* interleaved, int64_t frames) = 0;
  virtual LoudnessFigures Figures() const = 0;
};

}  // namespace tbhost
