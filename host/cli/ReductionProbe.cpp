#include "host/cli/ReductionProbe.h"

#include <algorithm>

#include "host/cli/PluginInstance.h"

namespace tbhost {

void ReductionProbe::OnStart(const AudioFileFormat& input) {
  mInput = input;
  mFrames = std::max<int64_t>(input.frames, 0);
  mSeconds = GainReductionStats(std::max(input.sampleRate, 1));
  // Slices as long as the file divided by the columns, rounded up so that they cover it.
  const int64_t columns = std::max(mColumns, 1);
  mSlices = GainReductionStats(std::max<int64_t>((mFrames + columns - 1) / columns, 1));
  mReported = mMissed = false;
}

void ReductionProbe::OnFileBlock(const PluginInstance& plugin, int64_t firstFrame, int nFrames) {
  SectionReduction r;
  if (!plugin.LastBlockReduction(r)) {
    mMissed = true;
    return;
  }
  mReported = true;
  mSeconds.Add(firstFrame, nFrames, r, mFrames);
  if (mColumns > 0) mSlices.Add(firstFrame, nFrames, r, mFrames);
}

}  // namespace tbhost
