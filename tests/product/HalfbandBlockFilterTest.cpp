#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "product/ChainKernels.h"
#include "product/HalfbandBlockFilter.h"
#include "product/HalfbandFilter.h"

namespace {

// The block filter must return what the per-call filter returns, to its last bit or two (the sums
// may run through fused multiply-adds), in every block size, across blocks, after a clear, and
// with every build of the batch loops.
void ExpectSameAsPerCallFilter(const ChainKernels& kernels, uint32_t seed) {
  constexpr double kTolerance = 1e-15;
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::uniform_int_distribution<int> size(1, HalfbandBlockFilter::kMaxFrames);
  auto up = std::make_unique<HalfbandBlockFilter>(kernels);
  auto down = std::make_unique<HalfbandBlockFilter>(kernels);
  auto upRef = std::make_unique<HalfbandFilter>();
  auto downRef = std::make_unique<HalfbandFilter>();
  std::vector<double> x(260), first(260), second(260), out(260);
  long compared = 0;
  for (int block = 0; block < 200; ++block) {
    if (block == 120) {  // a reset mid-stream clears the history but keeps the offsets
      up->Clear();
      down->Clear();
      upRef->Clear();
      downRef->Clear();
    }
    const int n = block % 7 == 0 ? 1 : size(rng);
    for (int j = 0; j < n; ++j) x[static_cast<size_t>(j)] = u(rng) * (block % 3 == 0 ? 1e-12 : 1.0);
    up->Upsample(x.data(), first.data(), second.data(), n);
    for (int j = 0; j < n; ++j) {
      ASSERT_NEAR(first[static_cast<size_t>(j)], upRef->Process(x[static_cast<size_t>(j)]), kTolerance) << block << ":" << j;
      ASSERT_NEAR(second[static_cast<size_t>(j)], upRef->Process(0.0), kTolerance) << block << ":" << j;
    }
    down->Downsample(first.data(), second.data(), out.data(), n);
    for (int j = 0; j < n; ++j) {
      ASSERT_NEAR(out[static_cast<size_t>(j)], downRef->Process(first[static_cast<size_t>(j)]), kTolerance) << block << ":" << j;
      downRef->Process(second[static_cast<size_t>(j)]);
      ++compared;
    }
    ASSERT_EQ(up->DenormalOffset(), upRef->DenormalOffset());
  }
  EXPECT_GT(compared, 10000);
}

TEST(HalfbandBlockFilter, EveryBuildAgreesWithThePerCallFilter) {
  const SupportedKernelSets sets = SupportedKernels();
  for (int k = 0; k < sets.count; ++k) {
    SCOPED_TRACE(sets.sets[k]->name);
    std::printf("%s: seed %d\n", sets.sets[k]->name, 99 - k);
    ExpectSameAsPerCallFilter(*sets.sets[k], static_cast<uint32_t>(99 - k));
  }
}

// Interpolating and decimating a low tone gives it back, delayed by the two filters' 64 + 64
// calls (64 frames at the base rate), at the filter's DC gain squared.
TEST(HalfbandBlockFilter, InterpolationThenDecimationDelaysByOneFilterLength) {
  auto up = std::make_unique<HalfbandBlockFilter>();
  auto down = std::make_unique<HalfbandBlockFilter>();
  const int n = HalfbandBlockFilter::kMaxFrames;
  std::vector<double> x(n * 16), y(n * 16), first(n), second(n);
  for (size_t i = 0; i < x.size(); ++i) x[i] = std::sin(0.01 * static_cast<double>(i));
  for (int b = 0; b < 16; ++b) {
    up->Upsample(x.data() + b * n, first.data(), second.data(), n);
    for (int j = 0; j < n; ++j) {  // restore the level of the inserted zeros
      first[static_cast<size_t>(j)] *= 2.0;
      second[static_cast<size_t>(j)] *= 2.0;
    }
    down->Downsample(first.data(), second.data(), y.data() + b * n, n);
  }
  for (size_t i = 500; i < x.size(); ++i) EXPECT_NEAR(y[i], x[i - 64], 1e-4) << i;
}

}  // namespace
