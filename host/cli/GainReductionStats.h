#pragma once
#include <cstdint>
#include <vector>

namespace tbhost {

// Gain reduction of the plug-in's sections over one block, in dB (0 or positive: how far each
// section pulled the signal down at its deepest point in the block).
struct SectionReduction {
  double limiterDb = 0.0;
  double compressorDb = 0.0;
};

// Gain reduction of both sections over time: per window (one second by default) the average of
// the per-block reductions, weighted by block length, and the deepest reduction, in dB.
class GainReductionStats {
public:
  struct Window {
    double compressorAvgDb = 0.0;
    double compressorMaxDb = 0.0;
    double limiterAvgDb = 0.0;
    double limiterMaxDb = 0.0;
    int64_t frames = 0;
  };

  explicit GainReductionStats(int64_t windowFrames) : mWindowFrames(windowFrames) {}

  // A block of `nFrames` starting at frame `firstFrame` of the input; blocks at or past
  // `endFrame` (the latency tail) are ignored.
  void Add(int64_t firstFrame, int nFrames, const SectionReduction& r, int64_t endFrame);

  const std::vector<Window>& Windows() const { return mWindows; }
  Window Overall() const;

private:
  int64_t mWindowFrames;
  std::vector<Window> mWindows;
};

}  // namespace tbhost
