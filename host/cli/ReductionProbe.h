#pragma once
#include <cstdint>

#include "host/cli/AudioFileFormat.h"
#include "host/cli/GainReductionStats.h"
#include "host/cli/RenderObserver.h"

namespace tbhost {

// Watches a render for the plug-in's gain reduction along the input file's timeline: per
// second for reports, and in `columns` equal slices of the file for a plot. The latency tail
// after the file's end is left out. The reduction is what the plug-in's meters report: the
// one whose name speaks of the limiter and the one that speaks of the compressor, in dB.
class ReductionProbe final : public RenderObserver {
public:
  explicit ReductionProbe(int columns = 0) : mColumns(columns) {}

  void OnStart(const AudioFileFormat& input) override;
  void OnFileBlock(const PluginInstance& plugin, int64_t firstFrame, int nFrames) override;

  // True when the plug-in reported the gain reduction of every block of the file (false for a
  // plug-in without both meters).
  bool Available() const { return mReported && !mMissed; }
  const GainReductionStats& Seconds() const { return mSeconds; }
  const GainReductionStats& Slices() const { return mSlices; }
  // The input's format, as the render saw it.
  const AudioFileFormat& Input() const { return mInput; }

  // The rendering thread. The meters of `plugin` that report each section's reduction; false
  // when it lacks either.
  struct Meters {
    int limiter = -1;
    int compressor = -1;
  };
  static bool FindMeters(const PluginInstance& plugin, Meters& meters);

private:
  int mColumns;
  AudioFileFormat mInput;
  int64_t mFrames = 0;
  GainReductionStats mSeconds{1};
  GainReductionStats mSlices{1};
  Meters mMeters;
  bool mFound = false;
  bool mLooked = false;
  bool mReported = false;
  bool mMissed = false;
};

}  // namespace tbhost
