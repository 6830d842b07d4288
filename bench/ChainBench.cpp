#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "product/TollenbrookChain.h"
#include "tests/product/MusicSignal.h"
#include "tests/product/PlainChain.h"

// Nanoseconds per stereo frame of the audio chain alone at 48 kHz on programme-like material,
// in host-sized blocks of 512, for every kernel set and for the plain per-sample evaluation it
// must agree with ("Chain/<figure>/<set>", "Chain/<figure>/plain").
namespace {

using namespace benchsupport;

constexpr int kBlock = 512;
constexpr int kFrames = 94 * kBlock;  // about one second

template <class Chain, class... Args>
void RunChain(benchmark::State& state, const Settings& settings, const Args&... args) {
  const ChainSettings s = ChainSettingsFor(settings);
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
  ReportPerFrame(state, kFrames);
}

const bool kRegistered = [] {
  const std::pair<const char*, Settings> figures[] = {
      {"Default", Settings{}}, {"Auto2", Settings{false, true}}, {"Oversampling", Settings{true, false}}};
  for (const auto& [name, settings] : figures) {
    for (const ChainKernels* set : KernelSets(true)) {
      WithMinimum(benchmark::RegisterBenchmark(
          (std::string("Chain/") + name + "/" + set->name).c_str(),
          [settings = settings, set](benchmark::State& st) { RunChain<TollenbrookChain>(st, settings, *set); }));
    }
    WithMinimum(benchmark::RegisterBenchmark(
        (std::string("Chain/") + name + "/plain").c_str(),
        [settings = settings](benchmark::State& st) { RunChain<chaintest::PlainChain>(st, settings); }));
  }
  return true;
}();

}  // namespace
