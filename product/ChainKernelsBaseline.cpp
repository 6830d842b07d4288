#include <initializer_list>

#include "product/ChainKernels.h"
#include "product/SimdMath.h"

#define TB_SIMD_NS simd
#define TB_KERNEL_NS kernels_baseline
#include "product/ChainKernels.inl"

namespace {
constexpr ChainKernels kBaseline = TB_KERNEL_TABLE(kernels_baseline, "sse2");
}  // namespace

const ChainKernels& BaselineKernels() { return kBaseline; }

SupportedKernelSets SupportedKernels() {
  SupportedKernelSets supported{{&kBaseline, nullptr, nullptr}, 1};
  for (const ChainKernels* set : {Avx2Kernels(), Avx512Kernels()})
    if (set != nullptr) supported.sets[supported.count++] = set;
  return supported;
}

const ChainKernels& FastestKernels() {
  const SupportedKernelSets supported = SupportedKernels();
  return *supported.sets[supported.count - 1];
}
