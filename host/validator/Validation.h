#pragma once
#include <cstdint>
#include <memory>
#include <random>
#include <utility>
#include <vector>
#include <string>

#include "host/validator/AudioThreadWatch.h"
#include "host/validator/TestSignals.h"
#include "host/validator/ValidationPlan.h"
#include "host/validator/ValidationReport.h"
#include "host/validator/ValidatorInsert.h"

namespace tbvalidate {

// What the checks share: the way to make instances of the loaded plug-in, the plan, the seeded random source, the report,
// and the tally of what the audio thread did in every render call of the run.
// Main thread (the audio-thread tally takes the audio thread's counts after it has joined).
class Validation {
public:
  // The longest block any check renders: longer than 65536 frames.
  static constexpr int kMaxBlock = 65536 + 4099;

  Validation(ValidatorInsertFactory makeInsert, const ValidationPlan& plan, uint64_t seed, ValidationReport& report)
      : mMakeInsert(std::move(makeInsert)), mPlan(plan), mRng(seed), mReport(report) {}

  const ValidationPlan& Plan() const { return mPlan; }
  std::mt19937_64& Rng() { return mRng; }
  ValidationReport& Report() { return mReport; }

  // The check that runs now: named with the audio thread's first offence.
  void Begin(const std::string& check) { mCheck = check; }

  // A fresh instance, or null with `error` set.
  std::unique_ptr<ValidatorInsert> NewInsert(int channels, double sampleRate, std::string& error);

  // Plays one block of `signal` (the key, when there is one, gets the same) and checks every
  // output sample against the largest input peak and output gain the instance has had.
  // Returns the first problem, or empty; `where` (may be empty) says what was playing.
  std::string PlayBlock(ValidatorInsert& insert, Signal signal, int n, const std::string& where);
  // Plays whole blocks of `blockSize` for at least `frames` frames; the first problem or empty.
  std::string Play(ValidatorInsert& insert, Signal signal, int frames, int blockSize, const std::string& where);

  // Empty when every output of the instance has carried signal since the last call; else
  // which one stayed silent. A plug-in that forgets to write a channel plays silence there.
  std::string SilentOutputSinceLastAsked(const ValidatorInsert& insert);

  // Adds what the audio thread did in one render call.
  void Tally(const AudioThreadUse& use, const std::string& where);
  // The audio-thread check: every render call of the run, allocation- and lock-free.
  void ReportAudioThread();

  // A random normalised value for a parameter: on one of its steps, or anywhere for a
  // parameter without steps.
  double RandomValue(const HostParam& param);

private:
  struct Peaks {
    double input = 0.0;
    double gainDb = 0.0;
    double outputs[2] = {0.0, 0.0};  // since SilentOutputSinceLastAsked
  };

  ValidatorInsertFactory mMakeInsert;
  ValidationPlan mPlan;
  std::mt19937_64 mRng;
  ValidationReport& mReport;
  int64_t mRenderCalls = 0;
  AudioThreadUse mUse;
  std::string mFirstOffence;
  std::string mCheck;
  std::vector<std::pair<const ValidatorInsert*, Peaks>> mPeaks;
  Peaks& PeaksOf(const ValidatorInsert& insert);
};

// The checks, in the order the validator runs them.
void CheckAudio(Validation& v);
void CheckParameters(Validation& v);
void CheckState(Validation& v);
void CheckThreads(Validation& v);
void CheckLatency(Validation& v);
void CheckSwitching(Validation& v);
void CheckBadAudio(Validation& v);
void CheckHostTrouble(Validation& v);

}  // namespace tbvalidate
