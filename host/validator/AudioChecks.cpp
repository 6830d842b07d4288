// Audio at every sample rate and block size of the plan, on every signal: each output sample
// written, finite, not subnormal and within reach of the input.
#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

#include "host/validator/Validation.h"

namespace tbvalidate {
namespace {

std::string RateText(double rate) {
  char text[32];
  std::snprintf(text, sizeof text, "%g Hz", rate);
  return text;
}

// Enough of each block size to matter, and never less than two blocks.
int FramesFor(int blockSize, double rate) {
  return std::max(2 * blockSize, static_cast<int>(rate * 0.05));
}

std::string SignalList(const std::vector<Signal>& signals) {
  std::string text;
  for (Signal s : signals) text += (text.empty() ? "" : ", ") + std::string(SignalName(s));
  return text;
}

// A fresh instance at one rate: first a block longer than any before, then every size of the
// plan with every signal, the key fed the same.
void CheckRate(Validation& v, int channels, double rate, const std::vector<int>& sizes) {
  const std::string check = std::string("audio, ") + (channels == 1 ? "mono" : "stereo") + " insert at " + RateText(rate);
  v.Begin(check);
  std::string error;
  std::unique_ptr<ValidatorInsert> insert = v.NewInsert(channels, rate, error);
  if (!insert) {
    v.Report().Fail(check, error);
    return;
  }
  std::string problem = v.PlayBlock(*insert, Signal::kNoise, v.Plan().firstBlock, "first block");
  int64_t frames = v.Plan().firstBlock;
  for (Signal signal : v.Plan().signals) {
    for (int size : sizes) {
      if (!problem.empty()) break;
      const std::string where = SignalName(signal);
      const int total = FramesFor(size, rate);
      problem = v.Play(*insert, signal, total, size, where);
      frames += total;
    }
    // Noise on every input and a plain setting: every output must carry something.
    if (problem.empty() && signal == Signal::kNoise) {
      problem = v.SilentOutputSinceLastAsked(*insert);
      if (!problem.empty()) problem = "noise in: " + problem;
    } else {
      v.SilentOutputSinceLastAsked(*insert);
    }
  }
  const auto [smallest, largest] = std::minmax_element(sizes.begin(), sizes.end());
  v.Report().Record(check, problem,
                    std::to_string(frames) + " frames in blocks of " + std::to_string(sizes.size()) + " sizes from " +
                        std::to_string(*smallest) + " to " + std::to_string(*largest) + " (" +
                        SignalList(v.Plan().signals) + "): every sample written, finite, not subnormal, in range");
}

}  // namespace

void CheckAudio(Validation& v) {
  std::vector<int> sizes = v.Plan().blockSizes;
  std::uniform_int_distribution<int> size(1, 8192);
  for (int i = 0; i < v.Plan().randomBlockSizes; ++i) sizes.push_back(size(v.Rng()));
  for (double rate : v.Plan().sampleRates) CheckRate(v, 2, rate, sizes);
  if (v.Plan().monoInsert) CheckRate(v, 1, 48000.0, sizes);
}

}  // namespace tbvalidate
