// The AVX2 build of the chain's batch loops. Everything that this file compiles for AVX2 lives
// in namespaces of its own; the standard headers come first, so their inline functions keep
// the baseline instruction set.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <immintrin.h>

#include "product/ChainKernels.h"

#pragma GCC push_options
#pragma GCC target("avx2")

#define TB_SIMD_NS simd_avx2
#define TB_SIMD_WIDTH 4
#include "product/SimdVector.inl"
#define TB_KERNEL_NS kernels_avx2
#include "product/ChainKernels.inl"

#pragma GCC pop_options

namespace {
constexpr ChainKernels kAvx2{"avx2",
                             kernels_avx2::SaturateBlock,
                             kernels_avx2::DetectorMix,
                             kernels_avx2::AutoRecovery,
                             kernels_avx2::ReleaseCoefficients,
                             kernels_avx2::SectionGains,
                             kernels_avx2::WetDirect,
                             kernels_avx2::WetOversampled,
                             kernels_avx2::HalfbandFirst,
                             kernels_avx2::HalfbandSecond};
}  // namespace

const ChainKernels* Avx2Kernels() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") ? &kAvx2 : nullptr;
}
