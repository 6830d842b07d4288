#include "product/ChainKernels.h"
#include "product/SimdMath.h"

#define TB_SIMD_NS simd
#define TB_KERNEL_NS kernels_baseline
#include "product/ChainKernels.inl"

namespace {
constexpr ChainKernels kBaseline{"sse2",
                                 kernels_baseline::SaturateBlock,
                                 kernels_baseline::DetectorMix,
                                 kernels_baseline::AutoRecovery,
                                 kernels_baseline::ReleaseCoefficients,
                                 kernels_baseline::SectionGains,
                                 kernels_baseline::WetDirect,
                                 kernels_baseline::WetOversampled,
                                 kernels_baseline::HalfbandFirst,
                                 kernels_baseline::HalfbandSecond};
}  // namespace

const ChainKernels& BaselineKernels() { return kBaseline; }

const ChainKernels& FastestKernels() {
  const ChainKernels* avx2 = Avx2Kernels();
  return avx2 != nullptr ? *avx2 : kBaseline;
}
