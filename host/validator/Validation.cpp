#include "host/validator/Validation.h"

#include <algorithm>
#include <cstdlib>

#include "host/validator/OutputCheck.h"

namespace tbvalidate {
namespace {

// A level as a plug-in shows it: a number in decibels ("18dB", "-3 dB"), or a bare number,
// which stands for decibels where a plug-in shows its levels without a unit. False for
// anything else ("400ms", "3:1", "OFF").
bool Decibels(const std::string& text, double& db) {
  char* end = nullptr;
  db = std::strtod(text.c_str(), &end);
  if (end == text.c_str()) return false;
  std::string unit(end);
  if (!unit.empty() && unit.front() == ' ') unit.erase(0, 1);
  return unit.empty() || unit == "dB";
}

// The most the settings can raise the level by, as the plug-in shows them: the furthest any
// parameter shown as a level stands above its default (none below 0, none above 60).
double ShownGainDb(const ValidatorInsert& insert) {
  double gain = 0.0;
  for (const HostParam& param : insert.Params()) {
    double now = 0.0, base = 0.0;
    if (param.masterBypass || !Decibels(insert.Text(param, insert.Normalized(param.id)), now) ||
        !Decibels(insert.Text(param, param.defaultNormalized), base))
      continue;
    gain = std::max(gain, now - base);
  }
  return std::min(gain, 60.0);
}

}  // namespace

std::unique_ptr<ValidatorInsert> Validation::NewInsert(int channels, double sampleRate, std::string& error) {
  // The peaks belong to instances that may be gone: those of the new one start afresh.
  std::unique_ptr<ValidatorInsert> insert = mMakeInsert(channels, sampleRate, kMaxBlock, error);
  if (insert) PeaksOf(*insert) = Peaks{};
  return insert;
}

Validation::Peaks& Validation::PeaksOf(const ValidatorInsert& insert) {
  for (auto& [owner, peaks] : mPeaks)
    if (owner == &insert) return peaks;
  mPeaks.emplace_back(&insert, Peaks{});
  return mPeaks.back().second;
}

std::string Validation::PlayBlock(ValidatorInsert& insert, Signal signal, int n, const std::string& where) {
  Peaks& peaks = PeaksOf(insert);
  // Inputs from a running position, so that a square wave or a sine runs on across blocks.
  const int64_t position = insert.Position();
  for (int c = 0; c < insert.Channels(); ++c) {
    FillSignal(signal, insert.Input(c), n, position, insert.SampleRate(), mRng);
    peaks.input = std::max(peaks.input, Peak(insert.Input(c), n));
  }
  if (float* key = insert.Key()) {
    FillSignal(signal, key, n, position, insert.SampleRate(), mRng);
    peaks.input = std::max(peaks.input, Peak(key, n));
  }
  peaks.gainDb = std::max(peaks.gainDb, ShownGainDb(insert));
  Tally(insert.Render(n, true), where);
  for (int c = 0; c < std::min(insert.Channels(), 2); ++c)
    peaks.outputs[c] = std::max(peaks.outputs[c], Peak(insert.Output(c), n));
  const std::string problem = insert.ExamineOutputs(n, OutputCheck::Limit(peaks.input, peaks.gainDb));
  if (problem.empty()) return problem;
  return (where.empty() ? "" : where + ", ") + "block of " + std::to_string(n) + ": " + problem;
}

std::string Validation::Play(ValidatorInsert& insert, Signal signal, int frames, int blockSize,
                             const std::string& where) {
  for (int done = 0; done < frames; done += blockSize) {
    const std::string problem = PlayBlock(insert, signal, blockSize, where);
    if (!problem.empty()) return problem;
  }
  return {};
}

std::string Validation::SilentOutputSinceLastAsked(const ValidatorInsert& insert) {
  Peaks& peaks = PeaksOf(insert);
  std::string silent;
  for (int c = 0; c < std::min(insert.Channels(), 2); ++c) {
    // A NaN peak (an unwritten sample) is reported by the block checks, not here.
    if (peaks.outputs[c] < 1e-4 && silent.empty()) silent = "output " + std::to_string(c) + " stayed silent";
    peaks.outputs[c] = 0.0;
  }
  return silent;
}

void Validation::Tally(const AudioThreadUse& use, const std::string& where) {
  ++mRenderCalls;
  mUse.allocations += use.allocations;
  mUse.locks += use.locks;
  if ((use.allocations > 0 || use.locks > 0) && mFirstOffence.empty())
    mFirstOffence = mCheck + (where.empty() ? "" : ", " + where) + " (" + std::to_string(use.allocations) + " allocations, " + std::to_string(use.locks) +
                    " locks)";
}

void Validation::ReportAudioThread() {
  const AudioThreadWatch& watch = ProcessAudioThreadWatch();
  const std::string check = "audio thread allocates nothing and takes no lock";
  if (!watch.SeesAllocations() && !watch.SeesLocks()) {
    mReport.Fail(check, "cannot be shown: " + watch.Coverage());
    return;
  }
  if (!mFirstOffence.empty()) {
    mReport.Fail(check, std::to_string(mUse.allocations) + " allocations and " + std::to_string(mUse.locks) +
                            " locks in " + std::to_string(mRenderCalls) + " render calls; first in " + mFirstOffence);
    return;
  }
  mReport.Pass(check, std::to_string(mRenderCalls) + " render calls, none allocated or locked (watching " +
                          watch.Coverage() + ")");
}

double Validation::RandomValue(const HostParam& param) {
  if (param.steps > 1) {
    std::uniform_int_distribution<int> step(0, param.steps - 1);
    return param.StepValue(step(mRng));
  }
  return std::uniform_real_distribution<double>(0.0, 1.0)(mRng);
}

}  // namespace tbvalidate
