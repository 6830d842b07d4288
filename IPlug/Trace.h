#pragma once
#include <cstdio>

// The framework's trace facility. It produces no output in the product (the arguments are
// still type-checked against the format); building with TOLLENBROOK_TRACE prints the lines
// to standard error for debugging.
#ifdef TOLLENBROOK_TRACE
#define TRACE_LOG(func, ...)            \
  do {                                  \
    std::fprintf(stderr, "%s: ", func); \
    std::fprintf(stderr, __VA_ARGS__);  \
    std::fputc('\n', stderr);           \
  } while (0)
#else
#define TRACE_LOG(func, ...)                                 \
  do {                                                       \
    if constexpr (false) std::fprintf(stderr, __VA_ARGS__); \
  } while (0)
#endif
