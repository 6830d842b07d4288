#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "host/cli/GainReductionStats.h"
#include "host/cli/LevelStats.h"

namespace {

TEST(GainReductionStats, WindowsWeighBlocksByTheFramesTheyCover) {
  // Blocks of 300 frames against windows of 1000: the fourth block straddles the boundary.
  tbhost::GainReductionStats stats(1000);
  const double comp[] = {1.0, 2.0, 3.0, 4.0, 5.0};
  for (int b = 0; b < 5; ++b) stats.Add(b * 300, 300, {comp[b] * 2.0, comp[b]}, 1400);
  const auto& w = stats.Windows();
  ASSERT_EQ(w.size(), 2u);
  EXPECT_EQ(w[0].frames, 1000);
  EXPECT_NEAR(w[0].compressorAvgDb, (300 * 1.0 + 300 * 2.0 + 300 * 3.0 + 100 * 4.0) / 1000.0, 1e-12);
  EXPECT_EQ(w[0].compressorMaxDb, 4.0);
  EXPECT_NEAR(w[0].limiterAvgDb, 2.0 * w[0].compressorAvgDb, 1e-12);
  // The last block reaches past the end of the input (the latency tail): only 100 of its frames count.
  EXPECT_EQ(w[1].frames, 400);
  EXPECT_NEAR(w[1].compressorAvgDb, (200 * 4.0 + 200 * 5.0) / 400.0, 1e-12);
  const auto all = stats.Overall();
  EXPECT_EQ(all.frames, 1400);
  EXPECT_NEAR(all.compressorAvgDb, (300 * 1.0 + 300 * 2.0 + 300 * 3.0 + 300 * 4.0 + 200 * 5.0) / 1400.0, 1e-12);
  EXPECT_EQ(all.limiterMaxDb, 10.0);
}

TEST(LevelStats, PeakAndRmsOfASineInDecibels) {
  std::vector<float> sine(48000);
  for (size_t i = 0; i < sine.size(); ++i) sine[i] = static_cast<float>(0.5 * std::sin(2.0 * 3.141592653589793 * 100.0 * i / 48000.0));
  tbhost::LevelStats stats;
  stats.Add(sine.data(), static_cast<int64_t>(sine.size()));
  EXPECT_NEAR(stats.PeakDb(), 20.0 * std::log10(0.5), 1e-6);
  EXPECT_NEAR(stats.RmsDb(), 20.0 * std::log10(0.5 / std::sqrt(2.0)), 1e-4);
  tbhost::LevelStats silence;
  EXPECT_TRUE(std::isinf(silence.PeakDb()));
  EXPECT_TRUE(std::isinf(silence.RmsDb()));
}

}  // namespace
