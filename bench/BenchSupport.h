#pragma once
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "product/ChainKernels.h"
#include "product/ChainSettings.h"
#include "tests/product/ChainTestSupport.h"

// What the chain and callback benchmarks share: the settings of the figures, the per-frame
// counter and the statistics the figures are read from.
namespace benchsupport {

constexpr double kFs = 48000.0;

struct Settings {
  bool oversample = false;
  bool auto2 = false;  // both recoveries "Auto-2"
};

inline chaintest::ParamValues ValuesFor(const Settings& s) {
  chaintest::ParamValues v = chaintest::kDefaultValues;
  v[kParamOversample] = s.oversample ? 1 : 0;
  if (s.auto2) {
    v[kParamCompRecovery] = 5;
    v[kParamLevelRecovery] = 5;
  }
  return v;
}

inline ChainSettings ChainSettingsFor(const Settings& s) { return chaintest::SettingsFor(ValuesFor(s)); }

// ns_per_frame: CPU nanoseconds per frame (per stereo frame of one instance).
inline void ReportPerFrame(benchmark::State& state, double frames) {
  state.counters["ns_per_frame"] = benchmark::Counter(
      frames * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The machine is shared: with --benchmark_repetitions the lowest repetition is the figure.
inline benchmark::internal::Benchmark* WithMinimum(benchmark::internal::Benchmark* b) {
  return b->Unit(benchmark::kMillisecond)->ComputeStatistics("min", [](const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
  });
}

// The kernel sets a figure is taken with: every set this processor runs, or only the `fastest`
// few of them (the plug-in's own choice first among equals).
inline std::vector<const ChainKernels*> KernelSets(bool all, int fastest = 1) {
  const SupportedKernelSets supported = SupportedKernels();
  const int first = all ? 0 : std::max(0, supported.count - fastest);
  return std::vector<const ChainKernels*>(supported.sets + first, supported.sets + supported.count);
}

}  // namespace benchsupport
