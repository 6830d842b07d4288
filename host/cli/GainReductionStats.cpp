#include "host/cli/GainReductionStats.h"

#include <algorithm>

namespace tbhost {
namespace {

void Accumulate(GainReductionStats::Window& w, const SectionReduction& r, int64_t frames) {
  // Averages are kept as running means so that windows combine without a second pass.
  const double total = static_cast<double>(w.frames + frames);
  const double weight = static_cast<double>(frames) / total;
  w.compressorAvgDb += (r.compressorDb - w.compressorAvgDb) * weight;
  w.limiterAvgDb += (r.limiterDb - w.limiterAvgDb) * weight;
  w.compressorMaxDb = std::max(w.compressorMaxDb, r.compressorDb);
  w.limiterMaxDb = std::max(w.limiterMaxDb, r.limiterDb);
  w.frames += frames;
}

}  // namespace

void GainReductionStats::Add(int64_t firstFrame, int nFrames, const SectionReduction& r, int64_t endFrame) {
  // A block that straddles a window boundary counts in each window with its share of frames.
  int64_t frame = firstFrame;
  const int64_t end = std::min(firstFrame + nFrames, endFrame);
  while (frame < end) {
    const int64_t window = frame / mWindowFrames;
    const int64_t windowEnd = std::min(end, (window + 1) * mWindowFrames);
    if (static_cast<int64_t>(mWindows.size()) <= window) mWindows.resize(static_cast<size_t>(window + 1));
    Accumulate(mWindows[static_cast<size_t>(window)], r, windowEnd - frame);
    frame = windowEnd;
  }
}

GainReductionStats::Window GainReductionStats::Overall() const {
  Window all;
  for (const Window& w : mWindows) {
    if (w.frames == 0) continue;
    Accumulate(all, SectionReduction{w.limiterAvgDb, w.compressorAvgDb}, w.frames);
    all.compressorMaxDb = std::max(all.compressorMaxDb, w.compressorMaxDb);
    all.limiterMaxDb = std::max(all.limiterMaxDb, w.limiterMaxDb);
  }
  return all;
}

}  // namespace tbhost
