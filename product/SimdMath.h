#pragma once
#include <cmath>
#include <cstdint>
#include <cstring>
#include <emmintrin.h>

// Two-lane double vectors (SSE2, the x86-64 baseline) and the elementary functions the audio
// chain evaluates in batches: sin, tanh, exp and log. Each stays within about one unit in the
// last place of the C library's result; lanes outside the ranges the fast paths cover (huge,
// subnormal, infinite or NaN arguments) are handed to the C library one by one, so every input
// gets a correct answer. No floating-point contraction: the results do not depend on whether the
// compiler may fuse multiplies and adds.
namespace simd {

using f64x2 = double __attribute__((vector_size(16)));
using i64x2 = int64_t __attribute__((vector_size(16)));
constexpr int kLanes = 2;

inline f64x2 Splat(double x) { return f64x2{x, x}; }
inline i64x2 Splat64(int64_t x) { return i64x2{x, x}; }
inline f64x2 Load(const double* p) {
  f64x2 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
inline void Store(double* p, f64x2 v) { std::memcpy(p, &v, sizeof v); }
inline i64x2 Bits(f64x2 v) { return (i64x2)v; }
inline f64x2 FromBits(i64x2 v) { return (f64x2)v; }
inline f64x2 Select(i64x2 mask, f64x2 a, f64x2 b) { return FromBits((mask & Bits(a)) | (~mask & Bits(b))); }
inline bool Any(i64x2 mask) { return (mask[0] | mask[1]) != 0; }
inline bool All(i64x2 mask) { return (mask[0] & mask[1]) != 0; }
inline f64x2 Abs(f64x2 v) { return FromBits(Bits(v) & Splat64(0x7FFFFFFFFFFFFFFFll)); }

// Rounds each lane to single precision and back, as a float conversion of a double does.
inline f64x2 RoundToSingle(f64x2 v) {
  return (f64x2)_mm_cvtps_pd(_mm_cvtpd_ps((__m128d)v));
}

// Round to the nearest integer (ties to even) for |x| < 2^51, without SSE4.1.
constexpr double kRoundMagic = 6755399441055744.0;  // 1.5 * 2^52
inline f64x2 RoundNearest(f64x2 x) { return (x + kRoundMagic) - kRoundMagic; }

// 2^k for integral k in [-1022, 1023] held as doubles.
inline f64x2 Pow2(f64x2 k) {
  const i64x2 n = Bits(k + kRoundMagic) - Bits(Splat(kRoundMagic));
  return FromBits((n + 1023) << 52);
}

// Lanes for which `fast` is clear are recomputed with the scalar function.
template <class F>
inline f64x2 PatchLanes(f64x2 result, f64x2 x, i64x2 fast, F scalar) {
  for (int i = 0; i < kLanes; ++i)
    if (fast[i] == 0) result[i] = scalar(x[i]);
  return result;
}

namespace detail {
constexpr double kPio2Hi = 0x1.921fb54400000p+0;  // pi/2 in three parts; the first two have 33
constexpr double kPio2Mid = 0x1.0b4611a600000p-34;  // significant bits so n * part is exact
constexpr double kPio2Lo = 0x1.3198a2e037073p-69;   // for the quadrant counts used here
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
constexpr double kReduceLimit = 1.0e5;

inline f64x2 SinKernel(f64x2 x) {
  const f64x2 z = x * x;
  const f64x2 v = z * x;
  const f64x2 r = 8.33333333332248946124e-03 +
                  z * (-1.98412698298579493134e-04 +
                       z * (2.75573137070700676789e-06 +
                            z * (-2.50507602534068634195e-08 + z * 1.58969099521155010221e-10)));
  return x + v * (-1.66666666666666324348e-01 + z * r);
}

inline f64x2 CosKernel(f64x2 x) {
  const f64x2 z = x * x;
  const f64x2 r =
      z * (4.16666666666666019037e-02 +
           z * (-1.38888888888741095749e-03 +
                z * (2.48015872894767294178e-05 +
                     z * (-2.75573143513906633035e-07 +
                          z * (2.08757232129817482790e-09 + z * -1.13596475577881948265e-11)))));
  const f64x2 hz = 0.5 * z;
  const f64x2 w = 1.0 - hz;
  return w + (((1.0 - w) - hz) + z * r);
}

// exp(r) - 1 for |r| <= ln(2)/2, accurate relative to the result.
inline f64x2 Expm1Kernel(f64x2 r) {
  const f64x2 p =
      5.0e-1 +
      r * (1.6666666666666670986e-1 +
           r * (4.1666666666666669752e-2 +
                r * (8.333333333326140884e-3 +
                     r * (1.3888888888883752417e-3 +
                          r * (1.9841269874800491981e-4 +
                               r * (2.4801587325533363819e-5 +
                                    r * (2.7557255425746434282e-6 +
                                         r * (2.7557273661348636219e-7 +
                                              r * (2.5105206373957011116e-8 + r * 2.09146793765839351e-9)))))))));
  return r + (r * r) * p;
}

constexpr double kLn2Hi = 0x1.62e42fee00000p-1;
constexpr double kLn2Lo = 0x1.a39ef35793c76p-33;
constexpr double kLog2e = 0x1.71547652b82fep+0;
constexpr double kExpLimit = 700.0;

// tanh(t) for 0 <= t <= kTanhPolyLimit as t + t^3 P(t^2).
constexpr double kTanhPolyLimit = 0.625;
inline f64x2 TanhPoly(f64x2 t) {
  const f64x2 u = t * t;
  const f64x2 p =
      -3.3333333333333332938e-1 +
      u * (1.3333333333333041602e-1 +
           u * (-5.396825396789699169e-2 +
                u * (2.1869488519008305756e-2 +
                     u * (-8.863235103240877925e-3 +
                          u * (3.5921217511549622695e-3 +
                               u * (-1.4557754120478055104e-3 +
                                    u * (5.896606577757043347e-4 +
                                         u * (-2.3759064960555619551e-4 +
                                              u * (9.2571161295567682707e-5 +
                                                   u * (-3.1201101425797400033e-5 + u * 6.48516348279311315e-6))))))))));
  return t + (t * u) * p;
}
}  // namespace detail

// exp(x). Fast for |x| <= 700; other lanes (and NaN) go to std::exp.
inline f64x2 Exp(f64x2 x) {
  using namespace detail;
  const i64x2 fast = Abs(x) <= kExpLimit;
  const f64x2 xs = Select(fast, x, Splat(0.0));
  const f64x2 k = RoundNearest(xs * kLog2e);
  const f64x2 r = (xs - k * kLn2Hi) - k * kLn2Lo;
  const f64x2 y = (1.0 + Expm1Kernel(r)) * Pow2(k);
  if (All(fast)) return y;
  return PatchLanes(y, x, fast, [](double v) { return std::exp(v); });
}

// sin(x). Arguments beyond 1e5 in magnitude, infinities and NaN go to std::sin.
inline f64x2 Sin(f64x2 x) {
  using namespace detail;
  const f64x2 ax = Abs(x);
  if (All(ax <= 0.78539816339744828)) return SinKernel(x);
  const i64x2 fast = ax <= kReduceLimit;
  const f64x2 xs = Select(fast, x, Splat(0.0));
  const f64x2 n = RoundNearest(xs * kTwoOverPi);
  const f64x2 r = ((xs - n * kPio2Hi) - n * kPio2Mid) - n * kPio2Lo;
  const i64x2 quadrant = Bits(n + kRoundMagic) & 3;
  const f64x2 s = SinKernel(r);
  const f64x2 c = CosKernel(r);
  f64x2 y = Select((quadrant & 1) != 0, c, s);
  y = Select((quadrant & 2) != 0, -y, y);
  if (All(fast)) return y;
  return PatchLanes(y, x, fast, [](double v) { return std::sin(v); });
}

// tanh(x). Small arguments by a polynomial, larger ones as 1 - 2 / (e^2|x| + 1) with the sign
// restored; NaN goes to std::tanh.
inline f64x2 Tanh(f64x2 x) {
  using namespace detail;
  const f64x2 ax = Abs(x);
  const i64x2 small = ax <= kTanhPolyLimit;
  if (All(small)) return TanhPoly(x);
  // Beyond 22 the result is 1 to double precision; the clamp keeps e^2|x| finite.
  const f64x2 clamped = Select(ax < 22.0, ax, Splat(22.0));
  const f64x2 e = Exp(2.0 * clamped);
  f64x2 large = 1.0 - 2.0 / (e + 1.0);
  large = FromBits(Bits(large) | (Bits(x) & Splat64(INT64_MIN)));
  const f64x2 y = Select(small, TanhPoly(Select(small, x, Splat(0.0))), large);
  const i64x2 isNan = x != x;
  if (!Any(isNan)) return y;
  return PatchLanes(y, x, ~isNan, [](double v) { return std::tanh(v); });
}

// log(x). Positive normal finite arguments are fast; zero, subnormal, negative, infinite and
// NaN lanes go to std::log.
inline f64x2 Log(f64x2 x) {
  using namespace detail;
  const i64x2 bits = Bits(x);
  const i64x2 fast = (x >= 0x1p-1022) & (x <= 0x1.fffffffffffffp+1023);
  const i64x2 mantissa = bits & Splat64(0x000FFFFFFFFFFFFFll);
  // Pick the binade so that 1 + f lies in [sqrt(2)/2, sqrt(2)).
  const i64x2 up = (mantissa + Splat64(0x95F6400000000ll)) & Splat64(0x10000000000000ll);
  const f64x2 m = FromBits(mantissa | (up ^ Splat64(0x3FF0000000000000ll)));
  const i64x2 e = ((bits >> 52) & 0x7FF) - 1023 + (up >> 52);
  const f64x2 k = FromBits(e + Bits(Splat(kRoundMagic))) - kRoundMagic;
  const f64x2 f = m - 1.0;
  const f64x2 s = f / (2.0 + f);
  const f64x2 z = s * s;
  const f64x2 w = z * z;
  const f64x2 t1 = w * (3.999999999940941908e-01 + w * (2.222219843214978396e-01 + w * 1.531383769920937332e-01));
  const f64x2 t2 = z * (6.666666666666735130e-01 +
                        w * (2.857142874366239149e-01 + w * (1.818357216161805012e-01 + w * 1.479819860511658591e-01)));
  const f64x2 R = t2 + t1;
  const f64x2 hfsq = 0.5 * f * f;
  const f64x2 y = k * kLn2Hi - ((hfsq - (s * (hfsq + R) + k * kLn2Lo)) - f);
  if (All(fast)) return y;
  return PatchLanes(y, x, fast, [](double v) { return std::log(v); });
}

}  // namespace simd
