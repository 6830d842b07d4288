#include <ebur128.h>

#include <cmath>
#include <limits>

#include "host/cli/LoudnessMeter.h"

namespace tbhost {
namespace {

double PeakDb(double linear) {
  return linear > 0.0 ? 20.0 * std::log10(linear) : -std::numeric_limits<double>::infinity();
}

class Ebur128Meter final : public LoudnessMeter {
public:
  explicit Ebur128Meter(ebur128_state* state, int channels) : mState(state), mChannels(channels) {}
  ~Ebur128Meter() override { ebur128_destroy(&mState); }
  Ebur128Meter(const Ebur128Meter&) = delete;
  Ebur128Meter& operator=(const Ebur128Meter&) = delete;

  bool Add(const float* interleaved, int64_t frames) override {
    return ebur128_add_frames_float(mState, interleaved, static_cast<size_t>(frames)) == EBUR128_SUCCESS;
  }

  LoudnessFigures Figures() const override {
    LoudnessFigures f;
    // The library answers minus infinity (HUGE_VAL) for a signal too quiet to be gated in.
    if (ebur128_loudness_global(mState, &f.integratedLufs) != EBUR128_SUCCESS)
      f.integratedLufs = -std::numeric_limits<double>::infinity();
    if (ebur128_loudness_range(mState, &f.loudnessRangeLu) != EBUR128_SUCCESS) f.loudnessRangeLu = 0.0;
    double sample = 0.0, truePeak = 0.0;
    for (int c = 0; c < mChannels; ++c) {
      double s = 0.0, t = 0.0;
      if (ebur128_sample_peak(mState, static_cast<unsigned>(c), &s) == EBUR128_SUCCESS) sample = std::fmax(sample, s);
      if (ebur128_true_peak(mState, static_cast<unsigned>(c), &t) == EBUR128_SUCCESS) truePeak = std::fmax(truePeak, t);
    }
    f.samplePeakDbfs = PeakDb(sample);
    // Between samples the signal reaches at least its largest sample.
    f.truePeakDbtp = PeakDb(std::fmax(truePeak, sample));
    return f;
  }

private:
  ebur128_state* mState;
  int mChannels;
};

}  // namespace

bool LoudnessMeter::Available(std::string& /*why*/) { return true; }

std::unique_ptr<LoudnessMeter> LoudnessMeter::Create(int channels, int sampleRate, std::string& error) {
  constexpr int kModes = EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_SAMPLE_PEAK | EBUR128_MODE_TRUE_PEAK;
  ebur128_state* state = channels > 0 && sampleRate > 0
                             ? ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(sampleRate), kModes)
                             : nullptr;
  if (!state) {
    error = "cannot measure the loudness of " + std::to_string(channels) + " channels at " +
            std::to_string(sampleRate) + " Hz";
    return nullptr;
  }
  return std::make_unique<Ebur128Meter>(state, channels);
}

}  // namespace tbhost
