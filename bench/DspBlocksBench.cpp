#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "product/Biquad.h"
#include "product/HalfbandFilter.h"
#include "product/Saturate.h"
#include "product/compressor.h"

namespace {

std::vector<double> TestSignal(int n) {
  std::vector<double> x(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) x[static_cast<size_t>(i)] = 0.8 * std::sin(0.031 * i) * std::sin(0.0007 * i);
  return x;
}

// One block of 512 samples through the compressor with the setter calls the chain makes per sample.
void BM_CompressorBlock(benchmark::State& state) {
  const auto x = TestSignal(512);
  compressor c;
  c.Setup(0, 10.0, 100.0, 0.0, 48000.0);
  c.SetKneeFactor(2.0);
  c.SetThreshold(-20.0);
  for (auto _ : state) {
    for (double v : x) {
      c.SetAttack(10.0);
      c.SetRelease(100.0);
      c.SetHold(0.0);
      c.SetRatio(4.0);
      benchmark::DoNotOptimize(c.Process(v));
    }
  }
  state.SetItemsProcessed(state.iterations() * 512);
}
BENCHMARK(BM_CompressorBlock);

void BM_HalfbandBlock(benchmark::State& state) {
  const auto x = TestSignal(512);
  HalfbandFilter f;
  for (auto _ : state) {
    for (double v : x) benchmark::DoNotOptimize(f.Process(v));
  }
  state.SetItemsProcessed(state.iterations() * 512);
}
BENCHMARK(BM_HalfbandBlock);

void BM_BiquadBlock(benchmark::State& state) {
  const auto x = TestSignal(512);
  Biquad f;
  f.SetBiquad(kHighShelf, 120.0 / 48000.0, 0.207, 3.0);
  for (auto _ : state) {
    for (double v : x) benchmark::DoNotOptimize(f.Process(v));
  }
  state.SetItemsProcessed(state.iterations() * 512);
}
BENCHMARK(BM_BiquadBlock);

void BM_SaturateBlock(benchmark::State& state) {
  const auto x = TestSignal(512);
  for (auto _ : state) {
    for (double v : x) benchmark::DoNotOptimize(Saturate(v));
  }
  state.SetItemsProcessed(state.iterations() * 512);
}
BENCHMARK(BM_SaturateBlock);

}  // namespace
