#pragma once
#include <cstdint>

namespace tbhost {

// Sample peak and RMS over all channels of a signal, reported in dBFS (full scale 1.0).
class LevelStats {
public:
  void Add(const float* samples, int64_t count);
  double PeakDb() const;
  double RmsDb() const;
  int64_t Count() const { return mCount; }

private:
  double mPeak = 0.0;
  double mSumSquares = 0.0;
  int64_t mCount = 0;
};

}  // namespace tbhost
