// The AVX2 build of the chain's loops, with fused multiply-adds. Everything that this file
// compiles for AVX2 lives in namespaces of its own; the standard headers come first, so their
// inline functions keep the baseline instruction set.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <immintrin.h>

#include "product/ChainKernels.h"

// Clang (the fuzzing build) ignores GCC's target pragma and takes its own.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,fma"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,fma")
#endif

#define TB_SIMD_NS simd_avx2
#define TB_SIMD_WIDTH 4
#define TB_SIMD_FMA 1
#include "product/SimdVector.inl"
#define TB_KERNEL_NS kernels_avx2
#include "product/ChainKernels.inl"

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

namespace {
constexpr ChainKernels kAvx2 = TB_KERNEL_TABLE(kernels_avx2, "avx2");
}  // namespace

const ChainKernels* Avx2Kernels() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") ? &kAvx2 : nullptr;
}
