#pragma once
#include <cstdint>

#include "host/cli/AudioFileFormat.h"

namespace tbhost {

class PluginInstance;

// Watches a render: progress for the progress bar, each block of the file's timeline for
// statistics, and a way to stop early (Ctrl-C).
// Called on the thread that renders, between blocks.
class RenderObserver {
public:
  virtual ~RenderObserver() = default;
  // Before the render, once the input is open.
  virtual void OnStart(const AudioFileFormat& /*input*/) {}
  virtual void OnProgress(int64_t /*framesDone*/, int64_t /*framesTotal*/) {}
  // After a block whose input starts at frame `firstFrame` of the input file (the latency tail
  // continues past its end); not called for the pre-roll.
  virtual void OnFileBlock(const PluginInstance& /*plugin*/, int64_t /*firstFrame*/, int /*nFrames*/) {}
  virtual bool Cancelled() const { return false; }
};

}  // namespace tbhost
