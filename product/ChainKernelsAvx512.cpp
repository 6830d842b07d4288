// The AVX-512 build of the chain's loops (foundation, doubleword/quadword and vector-length
// extensions, with fused multiply-adds), in namespaces of its own like the AVX2 build.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <immintrin.h>

#include "product/ChainKernels.h"

// Clang (the fuzzing build) ignores GCC's target pragma and takes its own.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f,avx512dq,avx512vl,avx2,fma"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,avx512dq,avx512vl,avx2,fma")
#endif

#define TB_SIMD_NS simd_avx512
#define TB_SIMD_WIDTH 8
#define TB_SIMD_FMA 1
#include "product/SimdVector.inl"
#define TB_KERNEL_NS kernels_avx512
#include "product/ChainKernels.inl"

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

namespace {
constexpr ChainKernels kAvx512 = TB_KERNEL_TABLE(kernels_avx512, "avx512");
}  // namespace

// The processor check also asks the operating system: GCC's run-time test reports AVX-512 only
// where the system saves the wide registers.
const ChainKernels* Avx512Kernels() {
  __builtin_cpu_init();
  const bool usable = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
                      __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("fma");
  return usable ? &kAvx512 : nullptr;
}
