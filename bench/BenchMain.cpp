#include <benchmark/benchmark.h>

#include <cstdlib>
#if defined(__SSE__)
#include <xmmintrin.h>
#endif

// The one entry point of the benchmark program; every other file only registers benchmarks.
//
// TOLLENBROOK_BENCH_FTZ=1 runs every benchmark with denormals flushed to zero (FTZ and DAZ),
// as most hosts run their audio threads. Without it a state of the chain that has decayed
// into the denormal range (a needle resting after a long time without reduction) makes the
// timings depend on how long a run has gone on, which blurs comparisons between benchmarks.
int main(int argc, char** argv) {
#if defined(__SSE__)
  if (const char* ftz = std::getenv("TOLLENBROOK_BENCH_FTZ"); ftz && ftz[0] == '1') _mm_setcsr(_mm_getcsr() | 0x8040);
#endif
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
