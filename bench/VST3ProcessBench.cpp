#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "IPlug/VST3/VST3Rig.h"
#include "bench/BenchSupport.h"
#include "tests/product/MusicSignal.h"

// Nanoseconds per stereo frame of the VST3 bundle's process() called as a host calls it, on the
// same music, at the same rate and block length (48 kHz, 512, 32-bit samples) and with the same
// default settings as BM_ChainDefault: the difference is what the binding costs (float
// conversion, channel records, parameter and meter queues), to be held within 5% of the chain.
namespace {

constexpr double kFs = 48000.0;
constexpr int kBlock = 512;
constexpr int kFrames = 94 * kBlock;

void BM_VST3ProcessDefault(benchmark::State& state) {
  setenv("TOLLENBROOK_VST3_BINARY", TOLLENBROOK_VST3_BINARY, 0);
  vst3test::Module module;
  if (!module.mFactory) {
    state.SkipWithError("the VST3 bundle is not built");
    return;
  }
  vst3test::Plugin plugin(module);
  plugin.Start(kFs, kBlock, V3_SAMPLE_32);
  const chaintest::MusicSignal music(kFrames, 7);
  std::vector<float> left(music.left.begin(), music.left.end()), right(music.right.begin(), music.right.end());
  std::vector<float> outL(kFrames), outR(kFrames);
  vst3test::ParamChanges in, out;

  for (auto _ : state) {
    for (int pos = 0; pos < kFrames; pos += kBlock) {
      out.Clear();
      plugin.Process<float>({left.data() + pos, right.data() + pos}, {outL.data() + pos, outR.data() + pos}, kBlock, &in,
                            &out);
    }
    benchmark::DoNotOptimize(outL.data());
    benchmark::ClobberMemory();
  }
  state.counters["ns_per_frame"] =
      benchmark::Counter(static_cast<double>(kFrames) * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                                  benchmark::Counter::kInvert);
}

const bool kRegistered =
    (benchsupport::WithMinimum(benchmark::RegisterBenchmark("BM_VST3ProcessDefault", BM_VST3ProcessDefault)), true);

}  // namespace
