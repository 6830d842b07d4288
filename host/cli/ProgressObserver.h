#pragma once
#include <atomic>
#include <cstdio>
#include <string>

#include "host/cli/ProgressBar.h"
#include "host/cli/RenderObserver.h"

namespace tbhost {

// Shows a render's progress and stops it when the user interrupts; forwards the file blocks
// to another observer (the demo's statistics), if any.
class ProgressObserver final : public RenderObserver {
public:
  ProgressObserver(std::FILE* stream, const std::string& label, const std::atomic<bool>* cancel,
                   RenderObserver* next = nullptr)
  : mBar(stream, stream != nullptr, label), mCancel(cancel), mNext(next) {}

  void OnStart(const AudioFileFormat& input) override {
    if (mNext) mNext->OnStart(input);
  }
  void OnProgress(int64_t done, int64_t total) override {
    mBar.Update(done, total);
    if (mNext) mNext->OnProgress(done, total);
  }
  void OnFileBlock(const PluginInstance& plugin, int64_t firstFrame, int nFrames) override {
    if (mNext) mNext->OnFileBlock(plugin, firstFrame, nFrames);
  }
  bool Cancelled() const override {
    return (mCancel && mCancel->load(std::memory_order_relaxed)) || (mNext && mNext->Cancelled());
  }
  void Finish(bool completed = true) { mBar.Finish(completed); }

private:
  ProgressBar mBar;
  const std::atomic<bool>* mCancel;
  RenderObserver* mNext;
};

}  // namespace tbhost
