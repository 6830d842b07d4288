#include "host/cli/BatchCommand.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "host/cli/ProgressBar.h"
#include "host/cli/StateFile.h"
#include "host/cli/Utf8Path.h"

namespace tbhost {
namespace {

constexpr auto kProgressTick = std::chrono::milliseconds(100);

// One file's place in the batch: its progress (written by its worker, read by the main
// thread) and, once finished, its report (read only after the workers have joined).
struct Slot {
  std::atomic<double> fraction{0.0};
  FileReport report;
  bool started = false;
};

// A worker's observer: the file's progress for the batch display, the user's interrupt, and
// the file's analysis behind it.
class JobObserver final : public RenderObserver {
public:
  JobObserver(Slot& slot, const std::atomic<bool>* cancel, RenderObserver* next)
  : mSlot(slot), mCancel(cancel), mNext(next) {}

  void OnStart(const AudioFileFormat& input) override {
    if (mNext) mNext->OnStart(input);
  }
  void OnProgress(int64_t done, int64_t total) override {
    if (total > 0) mSlot.fraction.store(static_cast<double>(done) / static_cast<double>(total), std::memory_order_relaxed);
  }
  void OnFileBlock(const PluginInstance& plugin, int64_t firstFrame, int nFrames) override {
    if (mNext) mNext->OnFileBlock(plugin, firstFrame, nFrames);
  }
  bool Cancelled() const override { return mCancel && mCancel->load(std::memory_order_relaxed); }

private:
  Slot& mSlot;
  const std::atomic<bool>* mCancel;
  RenderObserver* mNext;
};

class BatchRun {
public:
  BatchRun(const BatchRequest& request, PluginInstance& prototype, const HostEnvironment& env)
  : mRequest(request), mPrototype(prototype), mEnv(env), mSlots(request.jobs.size()) {}

  int Run();

private:
  bool Interrupted() const { return mEnv.cancel && mEnv.cancel->load(std::memory_order_relaxed); }
  void CaptureState();
  void Work();
  void RenderOne(const BatchJob& job, Slot& slot);
  void ShowProgress();
  int Report();

  const BatchRequest& mRequest;
  PluginInstance& mPrototype;
  const HostEnvironment& mEnv;
  std::vector<Slot> mSlots;
  PluginState mState;
  bool mCarryState = false;
  std::atomic<size_t> mNext{0};
  std::mutex mMutex;
  std::condition_variable mWake;
  size_t mFinished = 0;  // guarded by mMutex
};

// A fresh instance starts from the constructed state; the prototype may have been given
// another (--load-state), which every file's instance then starts from as well.
void BatchRun::CaptureState() {
  std::string error;
  if (!mPrototype.SaveState(mState, error)) return;
  std::unique_ptr<PluginInstance> fresh = mPrototype.NewInstance(error);
  PluginState constructed;
  mCarryState = !fresh || !fresh->SaveState(constructed, error) || constructed.format != mState.format ||
                constructed.bytes != mState.bytes;
}

void BatchRun::RenderOne(const BatchJob& job, Slot& slot) {
  FileReport& report = slot.report;
  report.input = job.input;
  report.output = job.output;
  std::string error;
  std::unique_ptr<PluginInstance> plugin = mPrototype.NewInstance(error);
  if (plugin && mCarryState && !plugin->LoadState(mState, error)) plugin.reset();
  if (!plugin) {
    report.error = error;
    return;
  }
  RenderRequest request = mRequest.base;
  request.input = job.input;
  request.output = job.output;
  RenderAnalysis analysis(mRequest.analysis);
  JobObserver observer(slot, mEnv.cancel, mRequest.analyse ? &analysis.Probe() : nullptr);
  RenderResult result;
  if (!RenderCommand::Run(request, *plugin, &observer, result, report.error)) return;
  plugin.reset();
  std::string unusedPlotWarning;
  if (mRequest.analyse && !analysis.Complete(request, result, report, unusedPlotWarning, error)) {
    report.error = "rendered " + job.output + " but cannot measure it: " + error;
    return;
  }
  report.rendered = true;
  report.result = result;
}

void BatchRun::Work() {
  for (size_t i = mNext.fetch_add(1); i < mSlots.size(); i = mNext.fetch_add(1)) {
    Slot& slot = mSlots[i];
    if (!Interrupted()) {
      slot.started = true;
      RenderOne(mRequest.jobs[i], slot);
    }
    slot.fraction.store(1.0, std::memory_order_relaxed);
    std::lock_guard<std::mutex> lock(mMutex);
    ++mFinished;
    mWake.notify_one();
  }
}

void BatchRun::ShowProgress() {
  double totalWeight = 0.0;
  for (const BatchJob& job : mRequest.jobs) totalWeight += job.weight;
  ProgressBar bar(mEnv.progress, mEnv.progress != nullptr, "render");
  std::unique_lock<std::mutex> lock(mMutex);
  while (mFinished < mSlots.size()) {
    mWake.wait_for(lock, kProgressTick);
    double done = 0.0;
    for (size_t i = 0; i < mSlots.size(); ++i)
      done += mRequest.jobs[i].weight * mSlots[i].fraction.load(std::memory_order_relaxed);
    bar.SetLabel("render " + std::to_string(mFinished) + "/" + std::to_string(mSlots.size()));
    // The bar counts in thousandths of the batch's weight.
    bar.Update(static_cast<int64_t>(1000.0 * done / totalWeight), 1000);
  }
  bar.Finish(!Interrupted());
}

int BatchRun::Report() {
  size_t rendered = 0, failed = 0;
  std::vector<FileReport> reports;
  for (const Slot& slot : mSlots) {
    const FileReport& r = slot.report;
    if (!slot.started) continue;
    reports.push_back(r);
    if (!r.rendered) {
      ++failed;
      if (Interrupted() && r.error == "interrupted") continue;  // said once for the batch below
      const bool named = r.error.find(r.input) != std::string::npos;
      mEnv.err << "tollenbrook-host: " << (named ? "" : r.input + ": ") << r.error << std::endl;
      continue;
    }
    ++rendered;
    if (mRequest.report)
      RenderReport::Print(r, mRequest.header.loudnessUnavailable, mEnv.out);
    else
      mEnv.out << r.input << " -> " << r.output << "\n";
    r.result.PrintWarnings(r.output, mEnv.err);
  }
  const size_t total = mSlots.size();
  if (Interrupted()) {
    mEnv.err << "tollenbrook-host: interrupted: " << rendered << " of " << total
             << " files rendered; no partial file was left" << std::endl;
    return kExitSomeFailed;
  }
  std::string error;
  if (!mRequest.reportJson.empty() && !RenderReport::WriteJson(mRequest.reportJson, mRequest.header, reports, error)) {
    mEnv.err << "tollenbrook-host: " << error << std::endl;
    ++failed;
  }
  if (!mRequest.saveState.empty()) {
    // The state after the batch: the prototype's with the settings the files were rendered with.
    PluginState state;
    for (const ParamSetting& s : mRequest.base.options.settings) mPrototype.SetParameter(s.index, s.value);
    if (!mPrototype.SaveState(state, error) || !StateFile::Write(mRequest.saveState, state, error)) {
      mEnv.err << "tollenbrook-host: " << error << std::endl;
      ++failed;
    }
  }
  mEnv.out << rendered << " of " << total << " files rendered into " << PathToUtf8(PathFromUtf8(mRequest.jobs[0].output).parent_path());
  mEnv.out << (failed ? ", " + std::to_string(total - rendered) + " failed" : std::string()) << std::endl;
  return failed ? kExitSomeFailed : 0;
}

int BatchRun::Run() {
  CaptureState();
  const size_t threads = std::clamp<size_t>(static_cast<size_t>(std::max(mRequest.threads, 1)), 1, mSlots.size());
  std::vector<std::thread> workers;
  for (size_t t = 0; t < threads; ++t) workers.emplace_back([this] { Work(); });
  ShowProgress();
  for (std::thread& worker : workers) worker.join();
  return Report();
}

}  // namespace

int BatchCommand::Run(const BatchRequest& request, PluginInstance& prototype, const HostEnvironment& env) {
  if (request.jobs.empty()) {
    env.err << "tollenbrook-host: nothing to render" << std::endl;
    return kExitFailure;
  }
  std::error_code ec;
  const std::filesystem::path dir = PathFromUtf8(request.jobs[0].output).parent_path();
  if (!dir.empty()) std::filesystem::create_directories(dir, ec);
  if (ec) {
    env.err << "tollenbrook-host: cannot create the folder " << PathToUtf8(dir) << ": " << ec.message() << std::endl;
    return kExitFailure;
  }
  return BatchRun(request, prototype, env).Run();
}

}  // namespace tbhost
