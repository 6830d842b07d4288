#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tbhost {

// The outline of a waveform at the resolution of a picture: the file's frames split into
// `columns` equal slices, and per slice the lowest and highest sample over all channels.
// Fed in order, in pieces of any size, by one thread at a time.
class WaveEnvelope {
public:
  WaveEnvelope() = default;
  WaveEnvelope(int columns, int64_t frames);

  void Add(const float* interleaved, int64_t frames, int channels);

  int Columns() const { return static_cast<int>(mLow.size()); }
  // Zero for a slice that holds no frame.
  float Low(int column) const { return mLow[static_cast<size_t>(column)]; }
  float High(int column) const { return mHigh[static_cast<size_t>(column)]; }
  // The slice that frame `frame` falls in.
  int ColumnOf(int64_t frame) const;

private:
  int64_t mFrames = 0;
  int64_t mPosition = 0;
  std::vector<float> mLow;
  std::vector<float> mHigh;
};

}  // namespace tbhost
