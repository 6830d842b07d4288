#include "host/cli/GainReductionPlot.h"

#include <algorithm>
#include <cmath>

namespace tbhost {

double GainReductionPlot::ReductionRangeDb(const PlotData& data) {
  double deepest = 0.0;
  for (const GainReductionStats::Window& w : data.slices)
    deepest = std::max({deepest, w.compressorMaxDb, w.limiterMaxDb});
  for (double range : {3.0, 6.0, 12.0, 18.0, 24.0, 36.0, 48.0})
    if (deepest <= range) return range;
  return std::ceil(deepest / 12.0) * 12.0;
}

int GainReductionPlot::ReductionRow(double db, double rangeDb) {
  const double fraction = std::clamp(db / rangeDb, 0.0, 1.0);
  return kReductionTop + static_cast<int>(std::lround(fraction * (kReductionBottom - kReductionTop)));
}

int GainReductionPlot::SliceOfColumn(const PlotData& data, int column) {
  if (data.slices.empty() || data.frames <= 0 || column < 0 || column >= kColumns) return -1;
  // The slice that holds the column's first frame; the stats' slices are equally long.
  const int64_t frame = static_cast<int64_t>(column) * data.frames / kColumns;
  const int64_t sliceFrames = (data.frames + kColumns - 1) / kColumns;
  const int64_t slice = frame / std::max<int64_t>(sliceFrames, 1);
  return slice < static_cast<int64_t>(data.slices.size()) ? static_cast<int>(slice) : -1;
}

}  // namespace tbhost
