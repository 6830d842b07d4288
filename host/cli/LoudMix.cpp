#include "host/cli/LoudMix.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace tbhost {
namespace {

constexpr double kLookAheadMs = 1.5;
constexpr double kReleaseMs = 80.0;

// The gain each frame needs to stay at or below full scale.
std::vector<double> NeededGain(const std::vector<double>& interleaved) {
  std::vector<double> gain(interleaved.size() / 2);
  for (size_t i = 0; i < gain.size(); ++i) {
    const double peak = std::max(std::fabs(interleaved[2 * i]), std::fabs(interleaved[2 * i + 1]));
    gain[i] = peak > 1.0 ? 1.0 / peak : 1.0;
  }
  return gain;
}

// The smallest value within `reach` frames on either side of each frame.
std::vector<double> SlidingMinimum(const std::vector<double>& x, size_t reach) {
  std::vector<double> out(x.size());
  std::deque<size_t> candidates;  // indices of increasing values
  for (size_t i = 0; i < x.size() + reach; ++i) {
    if (i < x.size()) {
      while (!candidates.empty() && x[candidates.back()] >= x[i]) candidates.pop_back();
      candidates.push_back(i);
    }
    if (i < reach) continue;
    const size_t centre = i - reach;
    while (candidates.front() + reach < centre) candidates.pop_front();
    out[centre] = x[candidates.front()];
  }
  return out;
}

// The mean over `reach` frames on either side; edges average what there is.
std::vector<double> MovingAverage(const std::vector<double>& x, size_t reach) {
  std::vector<double> sums(x.size() + 1, 0.0);
  for (size_t i = 0; i < x.size(); ++i) sums[i + 1] = sums[i] + x[i];
  std::vector<double> out(x.size());
  for (size_t i = 0; i < x.size(); ++i) {
    const size_t lo = i >= reach ? i - reach : 0, hi = std::min(x.size(), i + reach + 1);
    out[i] = (sums[hi] - sums[lo]) / static_cast<double>(hi - lo);
  }
  return out;
}

}  // namespace

// The limiter never lets a sample over: the average over half the look-ahead of the minimum over
// the whole look-ahead is at most the gain every frame in reach needs, and the release only
// ever moves the gain up more slowly than that average.
std::vector<float> LoudMix::Synthesise(int sampleRate) {
  const std::vector<float> clip = DemoClip::Synthesise(sampleRate);
  const double drive = std::pow(10.0, kDriveDb / 20.0);
  std::vector<double> driven(clip.size());
  for (size_t i = 0; i < clip.size(); ++i) driven[i] = clip[i] * drive;

  const size_t reach = static_cast<size_t>(std::lround(kLookAheadMs * 0.001 * sampleRate));
  const std::vector<double> smooth = MovingAverage(SlidingMinimum(NeededGain(driven), reach), reach / 2);
  const double release = std::exp(-1.0 / (kReleaseMs * 0.001 * sampleRate));
  double gain = 1.0, peak = 1e-9;
  for (size_t i = 0; i < smooth.size(); ++i) {
    gain = std::min(smooth[i], smooth[i] + (gain - smooth[i]) * release);
    driven[2 * i] *= gain;
    driven[2 * i + 1] *= gain;
    peak = std::max({peak, std::fabs(driven[2 * i]), std::fabs(driven[2 * i + 1])});
  }
  const double scale = std::pow(10.0, kPeakDbfs / 20.0) / peak;
  std::vector<float> out(driven.size());
  for (size_t i = 0; i < driven.size(); ++i) out[i] = static_cast<float>(driven[i] * scale);
  return out;
}

}  // namespace tbhost
