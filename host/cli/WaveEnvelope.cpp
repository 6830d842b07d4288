#include "host/cli/WaveEnvelope.h"

#include <algorithm>

namespace tbhost {

WaveEnvelope::WaveEnvelope(int columns, int64_t frames)
: mFrames(std::max<int64_t>(frames, 1)), mLow(static_cast<size_t>(std::max(columns, 0)), 0.0f),
  mHigh(static_cast<size_t>(std::max(columns, 0)), 0.0f) {}

int WaveEnvelope::ColumnOf(int64_t frame) const {
  const int64_t column = frame * static_cast<int64_t>(mLow.size()) / mFrames;
  return static_cast<int>(std::clamp<int64_t>(column, 0, static_cast<int64_t>(mLow.size()) - 1));
}

void WaveEnvelope::Add(const float* interleaved, int64_t frames, int channels) {
  if (mLow.empty()) return;
  for (int64_t i = 0; i < frames; ++i, ++mPosition) {
    const size_t column = static_cast<size_t>(ColumnOf(mPosition));
    for (int c = 0; c < channels; ++c) {
      const float v = interleaved[i * channels + c];
      mLow[column] = std::min(mLow[column], v);
      mHigh[column] = std::max(mHigh[column], v);
    }
  }
}

}  // namespace tbhost
