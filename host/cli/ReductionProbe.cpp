#include "host/cli/ReductionProbe.h"

#include <algorithm>
#include <cctype>

#include "host/cli/PluginInstance.h"

namespace tbhost {

namespace {
bool Mentions(std::string name, const std::string& word) {
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
  return name.find(word) != std::string::npos;
}
}  // namespace

bool ReductionProbe::FindMeters(const PluginInstance& plugin, Meters& meters) {
  meters = Meters{};
  for (int m = 0; m < plugin.MeterCount(); ++m) {
    const std::string name = plugin.MeterName(m);
    if (!Mentions(name, "reduction")) continue;
    if (meters.limiter < 0 && Mentions(name, "limit")) meters.limiter = m;
    else if (meters.compressor < 0 && Mentions(name, "compress")) meters.compressor = m;
  }
  return meters.limiter >= 0 && meters.compressor >= 0;
}

void ReductionProbe::OnStart(const AudioFileFormat& input) {
  mInput = input;
  mFrames = std::max<int64_t>(input.frames, 0);
  mSeconds = GainReductionStats(std::max(input.sampleRate, 1));
  // Slices as long as the file divided by the columns, rounded up so that they cover it.
  const int64_t columns = std::max(mColumns, 1);
  mSlices = GainReductionStats(std::max<int64_t>((mFrames + columns - 1) / columns, 1));
  mReported = mMissed = mLooked = false;
}

void ReductionProbe::OnFileBlock(const PluginInstance& plugin, int64_t firstFrame, int nFrames) {
  if (!mLooked) {
    mFound = FindMeters(plugin, mMeters);
    mLooked = true;
  }
  // A plug-in may stop reporting its meters part way (a twin that no longer agrees).
  if (!mFound || plugin.MeterCount() <= std::max(mMeters.limiter, mMeters.compressor)) {
    mMissed = true;
    return;
  }
  mReported = true;
  const SectionReduction r{plugin.MeterValue(mMeters.limiter), plugin.MeterValue(mMeters.compressor)};
  mSeconds.Add(firstFrame, nFrames, r, mFrames);
  if (mColumns > 0) mSlices.Add(firstFrame, nFrames, r, mFrames);
}

}  // namespace tbhost
