#include <benchmark/benchmark.h>

// The one entry point of the benchmark program; every other file only registers benchmarks.
BENCHMARK_MAIN();
