// Threads as a host runs them: the audio thread renders while a host thread automates
// parameters, the editor side changes them through its gestures, and a background thread
// saves and restores the state, with the editor open where the module makes one.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "host/validator/OutputCheck.h"
#include "host/validator/Validation.h"

namespace tbvalidate {
namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 128;

struct AudioResult {
  std::string problem;
  AudioThreadUse use;
  int blocks = 0;
};

// The audio thread: noise, checked block by block; the watch counts every render call. The
// noise is made up front, so the thread itself allocates nothing.
void RenderAudio(ValidatorInsert& insert, int blocks, const std::vector<float>& noise, double gainDb,
                 AudioResult& out, std::atomic<bool>& done) {
  const double limit = OutputCheck::Limit(1.0, gainDb);
  for (int b = 0; b < blocks && out.problem.empty(); ++b) {
    for (int c = 0; c < insert.Channels(); ++c)
      std::copy_n(noise.begin() + (b * kBlock + c * 7) % 4096, kBlock, insert.Input(c));
    if (float* key = insert.Key()) std::copy_n(noise.begin() + (b * kBlock + 13) % 4096, kBlock, key);
    const AudioThreadUse use = insert.Render(kBlock, true);
    out.use.allocations += use.allocations;
    out.use.locks += use.locks;
    out.problem = insert.ExamineOutputs(kBlock, limit);
    ++out.blocks;
  }
  done = true;
}

// For a plug-in whose only parameter is its bypass, the threads that change parameters wait.
void WaitForAudio(const std::atomic<bool>& done) {
  while (!done) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace

void CheckThreads(Validation& v) {
  const std::string check = "threads: automation, editor changes and state saves while audio runs";
  std::string error;
  std::unique_ptr<ValidatorInsert> insert = v.NewInsert(2, kRate, error);
  if (!insert) return v.Report().Fail(check, error);
  std::string editor;
  const bool editorOpen = insert->OpenEditor(editor);

  std::vector<float> noise(4096 + kBlock);
  std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
  for (float& s : noise) s = sample(v.Rng());
  const uint64_t seed = v.Rng()();

  // The output gain may be anything while the others turn it: the limit allows the most.
  const double maxGainDb = 60.0;
  AudioResult audio;
  std::atomic<bool> done{false};
  std::atomic<int> automations{0}, gestures{0}, saves{0};
  std::atomic<int> refusedStates{0};
  std::thread audioThread(RenderAudio, std::ref(*insert), v.Plan().threadBlocks, std::cref(noise), maxGainDb,
                          std::ref(audio), std::ref(done));
  std::thread hostThread([&] {
    std::mt19937_64 rng(seed);
    while (!done) {
      const HostParam* picked = RandomChangeable(insert->Params(), rng);
      if (!picked) return WaitForAudio(done);
      const HostParam& param = *picked;
      insert->Automate(param.id, param.StepValue(static_cast<int>(rng() % std::max(param.steps, 2))),
                       /*deliver=*/false);
      ++automations;
    }
  });
  std::thread editorThread([&] {
    std::mt19937_64 rng(seed + 1);
    while (!done) {
      const HostParam* picked = RandomChangeable(insert->Params(), rng);
      if (!picked) return WaitForAudio(done);
      const HostParam& param = *picked;
      double values[4];
      for (double& value : values) value = static_cast<double>(rng() % 1000) / 999.0;
      insert->EditorGesture(param.id, values, 4);
      ++gestures;
    }
  });
  std::thread stateThread([&] {
    while (!done) {
      std::vector<unsigned char> state;
      std::string refusal;
      if (!insert->SaveState(state, refusal) || !insert->LoadState(state, refusal, -1, /*deliver=*/false))
        ++refusedStates;
      ++saves;
    }
  });
  // The host's main thread meanwhile: idle timer and window messages.
  while (!done) {
    insert->Idle();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  audioThread.join();
  hostThread.join();
  editorThread.join();
  stateThread.join();
  v.Begin(check);
  v.Tally(audio.use, "");
  insert->CloseEditor();

  std::string problem = audio.problem;
  if (problem.empty() && refusedStates > 0)
    problem = std::to_string(refusedStates.load()) + " of " + std::to_string(saves.load()) +
              " states saved while audio ran were refused when restored";
  // Values the host thread set after the last block reach the plug-in with the next one, as in
  // a host whose audio goes on; only then does the state hold everything that was set.
  if (problem.empty()) {
    for (int c = 0; c < insert->Channels(); ++c) std::fill_n(insert->Input(c), kBlock, 0.0f);
    v.Tally(insert->Render(kBlock), "after the threads stopped");
  }
  // Afterwards the instance still saves a state that another instance takes.
  std::vector<unsigned char> finalState;
  if (problem.empty() && !insert->SaveState(finalState, error)) problem = "the state cannot be saved afterwards";
  if (problem.empty()) {
    std::unique_ptr<ValidatorInsert> other = v.NewInsert(2, kRate, error);
    std::vector<unsigned char> again;
    if (!other || !other->LoadState(finalState, error) || !other->SaveState(again, error) ||
        again != finalState)
      problem = "the state left behind does not round trip";
  }
  v.Report().Record(check, problem,
                    std::to_string(audio.blocks) + " blocks while " + std::to_string(automations.load()) +
                        " automation changes, " + std::to_string(gestures.load()) + " editor gestures and " +
                        std::to_string(saves.load()) + " state saves and restores ran (" +
                        (editorOpen ? editor : editor + "; the editor side went through the host interface") + ")");
}

}  // namespace tbvalidate
