#pragma once
#include <cmath>
#include <cstdint>
#include <cstring>
#include <emmintrin.h>

// The baseline (SSE2, two lanes, no fused multiply-add) instance of the vector helpers, for code
// that runs on every x86-64 processor.
#define TB_SIMD_NS simd
#define TB_SIMD_WIDTH 2
#define TB_SIMD_FMA 0
#include "product/SimdVector.inl"
#undef TB_SIMD_FMA
#undef TB_SIMD_WIDTH
#undef TB_SIMD_NS
