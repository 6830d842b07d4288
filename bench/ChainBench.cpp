#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "product/TollenbrookChain.h"
#include "tests/product/ChainTestSupport.h"
#include "tests/product/MusicSignal.h"
#include "tests/product/PlainChain.h"

// Nanoseconds per stereo frame of the audio chain at 48 kHz on programme-like material, for the
// optimised chain and for the plain per-sample evaluation it must agree with.
namespace {

constexpr double kFs = 48000.0;
constexpr int kBlock = 512;
constexpr int kFrames = 94 * kBlock;  // about one second, processed in host-sized blocks

chaintest::ParamValues Values(bool oversample, bool auto2) {
  chaintest::ParamValues v = chaintest::kDefaultValues;
  v[kParamOversample] = oversample ? 1 : 0;
  if (auto2) {
    v[kParamCompRecovery] = 5;
    v[kParamLevelRecovery] = 5;
  }
  return v;
}

template <class Chain, class... Args>
void RunChain(benchmark::State& state, bool oversample, bool auto2, const Args&... args) {
  const ChainSettings s = chaintest::SettingsFor(Values(oversample, auto2));
  const chaintest::MusicSignal music(kFrames, 7);
  const std::vector<double> silence(kFrames, 0.0);
  std::vector<double> outL(kFrames), outR(kFrames);
  auto chain = std::make_unique<Chain>(args...);
  chain->Reset(kFs, s);
  for (auto _ : state) {
    for (int pos = 0; pos < kFrames; pos += kBlock) {
      const double* in[4] = {music.left.data() + pos, music.right.data() + pos, silence.data() + pos,
                             silence.data() + pos};
      double* out[2] = {outL.data() + pos, outR.data() + pos};
      chain->Process(in, out, kBlock, kFs, s);
    }
    benchmark::DoNotOptimize(outL.data());
    benchmark::ClobberMemory();
  }
  state.counters["ns_per_frame"] =
      benchmark::Counter(static_cast<double>(kFrames) * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                                  benchmark::Counter::kInvert);
}

void BM_ChainDefault(benchmark::State& st) { RunChain<TollenbrookChain>(st, false, false); }
void BM_ChainOversampling(benchmark::State& st) { RunChain<TollenbrookChain>(st, true, false); }
void BM_ChainAuto2(benchmark::State& st) { RunChain<TollenbrookChain>(st, false, true); }
// The same on the SSE2 build of the batch loops, as on a processor without AVX2.
void BM_ChainDefaultSse2(benchmark::State& st) { RunChain<TollenbrookChain>(st, false, false, BaselineKernels()); }
void BM_ChainOversamplingSse2(benchmark::State& st) { RunChain<TollenbrookChain>(st, true, false, BaselineKernels()); }
void BM_ChainAuto2Sse2(benchmark::State& st) { RunChain<TollenbrookChain>(st, false, true, BaselineKernels()); }
void BM_PlainDefault(benchmark::State& st) { RunChain<chaintest::PlainChain>(st, false, false); }
void BM_PlainOversampling(benchmark::State& st) { RunChain<chaintest::PlainChain>(st, true, false); }
void BM_PlainAuto2(benchmark::State& st) { RunChain<chaintest::PlainChain>(st, false, true); }

BENCHMARK(BM_ChainDefault)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChainOversampling)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChainAuto2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChainDefaultSse2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChainOversamplingSse2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChainAuto2Sse2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainDefault)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainOversampling)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainAuto2)->Unit(benchmark::kMillisecond);

}  // namespace
