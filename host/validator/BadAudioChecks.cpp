// Samples that are not numbers must not poison the plug-in: the outputs stay finite, and within
// one block after finite input returns the plug-in sounds as a new instance does after the
// same settling.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "host/validator/OutputCheck.h"
#include "host/validator/Validation.h"

namespace tbvalidate {
namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr int kSettleBlocks = 47;     // half a second of silence
constexpr int kAfterBlocks = 24;      // a quarter of a second once finite input is back
constexpr float kTolerance = 1e-6f;

// The same noise for both instances, block after block.
std::vector<std::vector<float>> NoiseBlocks(Validation& v, int blocks, int channels) {
  std::vector<std::vector<float>> out(static_cast<size_t>(blocks * (channels + 1)));
  for (auto& block : out) {
    block.resize(kBlock);
    FillSignal(Signal::kNoise, block.data(), kBlock, 0, kRate, v.Rng());
  }
  return out;
}

// Renders one block of `noise` (channels, then the key) and returns the outputs.
std::vector<float> Render(Validation& v, ValidatorInsert& insert, const std::vector<std::vector<float>>& noise,
                          int block, const std::string& where) {
  const int channels = insert.Channels();
  for (int c = 0; c < channels; ++c)
    std::copy_n(noise[static_cast<size_t>(block * (channels + 1) + c)].begin(), kBlock, insert.Input(c));
  if (float* key = insert.Key())
    std::copy_n(noise[static_cast<size_t>(block * (channels + 1) + channels)].begin(), kBlock, key);
  v.Tally(insert.Render(kBlock, true), where);
  std::vector<float> out;
  for (int c = 0; c < channels; ++c) out.insert(out.end(), insert.Output(c), insert.Output(c) + kBlock);
  return out;
}

}  // namespace

void CheckBadAudio(Validation& v) {
  const std::string check = "NaN and infinite input samples do not poison the plug-in";
  v.Begin(check);
  std::string error;
  std::unique_ptr<ValidatorInsert> damaged = v.NewInsert(2, kRate, error);
  std::unique_ptr<ValidatorInsert> fresh = v.NewInsert(2, kRate, error);
  if (!damaged || !fresh) return v.Report().Fail(check, error);
  std::string problem = v.Play(*damaged, Signal::kSilence, kSettleBlocks * kBlock, kBlock, "settling");
  if (problem.empty()) problem = v.Play(*damaged, Signal::kNoise, 8 * kBlock, kBlock, "noise");
  if (problem.empty()) problem = v.Play(*fresh, Signal::kSilence, kSettleBlocks * kBlock, kBlock, "settling");

  // The bad block: finite noise with a NaN, both infinities and a NaN in the key, then finite
  // input again after the first samples.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  FillSignal(Signal::kNoise, damaged->Input(0), kBlock, 0, kRate, v.Rng());
  FillSignal(Signal::kNoise, damaged->Input(1), kBlock, 0, kRate, v.Rng());
  damaged->Input(0)[0] = nan;
  damaged->Input(1)[3] = inf;
  damaged->Input(0)[40] = -inf;
  if (float* key = damaged->Key()) {
    FillSignal(Signal::kNoise, key, kBlock, 0, kRate, v.Rng());
    key[7] = nan;
  }
  v.Tally(damaged->Render(kBlock, true), "the bad block");
  if (problem.empty()) {
    problem = damaged->ExamineOutputs(kBlock, OutputCheck::Limit(1.0, 0.0));
    if (!problem.empty()) problem = "in the block with the bad samples, " + problem;
  }

  // Then the same finite noise into both: the damaged one must sound as the fresh one.
  const std::vector<std::vector<float>> noise = NoiseBlocks(v, kAfterBlocks, damaged->Channels());
  float largest = 0.0f;
  for (int b = 0; b < kAfterBlocks && problem.empty(); ++b) {
    const std::vector<float> a = Render(v, *damaged, noise, b, "after the bad block");
    const std::vector<float> f = Render(v, *fresh, noise, b, "a new instance");
    for (size_t i = 0; i < a.size() && problem.empty(); ++i) {
      if (!std::isfinite(a[i])) {
        problem = "block " + std::to_string(b + 1) + " after the bad samples holds a sample that is not finite";
      } else if (b >= 1) {
        largest = std::max(largest, std::fabs(a[i] - f[i]));
        if (std::fabs(a[i] - f[i]) > kTolerance)
          problem = "block " + std::to_string(b + 1) + " after the bad samples differs from a new instance's by " +
                    std::to_string(std::fabs(a[i] - f[i]));
      }
    }
  }
  char difference[32];
  std::snprintf(difference, sizeof difference, "%g", static_cast<double>(largest));
  v.Report().Record(check, problem,
                    std::string("outputs finite in and after the bad block; from the second block on within ") +
                        difference + " of a new instance given the same input");
}

}  // namespace tbvalidate
