#pragma once
#include <cstdint>

#include "host/cli/AudioFileFormat.h"
#include "host/cli/GainReductionStats.h"
#include "host/cli/RenderObserver.h"

namespace tbhost {

// Watches a render for the plug-in's gain reduction along the input file's timeline: per
// second for reports, and in `columns` equal slices of the file for a plot. The latency tail
// after the file's end is left out.
class ReductionProbe final : public RenderObserver {
public:
  explicit ReductionProbe(int columns = 0) : mColumns(columns) {}

  void OnStart(const AudioFileFormat& input) override;
  void OnFileBlock(const PluginInstance& plugin, int64_t firstFrame, int nFrames) override;

  // True when the plug-in reported the gain reduction of every block of the file (false for a
  // build without it, or a twin that stopped agreeing with the plug-in).
  bool Available() const { return mReported && !mMissed; }
  const GainReductionStats& Seconds() const { return mSeconds; }
  const GainReductionStats& Slices() const { return mSlices; }
  // The input's format, as the render saw it.
  const AudioFileFormat& Input() const { return mInput; }

private:
  int mColumns;
  AudioFileFormat mInput;
  int64_t mFrames = 0;
  GainReductionStats mSeconds{1};
  GainReductionStats mSlices{1};
  bool mReported = false;
  bool mMissed = false;
};

}  // namespace tbhost
