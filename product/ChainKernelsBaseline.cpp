#include <atomic>
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

namespace {
std::atomic<const ChainKernels*> gCeiling{nullptr};
}  // namespace

const ChainKernels& FastestKernels() {
  const SupportedKernelSets supported = SupportedKernels();
  const ChainKernels* ceiling = gCeiling.load(std::memory_order_acquire);
  for (int k = supported.count - 1; k > 0; --k)
    if (ceiling == nullptr || ceiling == supported.sets[k]) return *supported.sets[k];
  return *supported.sets[0];
}

void CapKernels(const ChainKernels* ceiling) { gCeiling.store(ceiling, std::memory_order_release); }
