// Vector lanes and elementary functions, instantiated once per instruction set: the including
// file defines TB_SIMD_NS (the namespace), TB_SIMD_WIDTH (2 for SSE2, 4 for AVX2, 8 for
// AVX-512) and TB_SIMD_FMA (1 where fused multiply-adds exist) and has included <cmath>,
// <cstdint>, <cstring> and the intrinsics header. No include guard, and no standard-library
// templates inside: each instruction set gets its own copy of everything, so code built for
// AVX-512 can never stand in for the baseline build of the same function.
//
// sin, tanh, exp and log each stay within about one unit in the last place of the C library's
// result; lanes outside the ranges the fast paths cover (huge, subnormal, infinite or NaN
// arguments) are handed to the C library one by one, so every input gets a correct answer.
// Polynomials run through Fma, a fused multiply-add where the instruction set has one and a
// multiply and an add where it does not, so the instruction sets may differ in the last bit.
// Everything else is written out operation by operation and the kernels are compiled without
// contraction (-ffp-contract=off): where a result is rounded to single precision later, every
// build computes it exactly as the per-sample recipe does.

namespace TB_SIMD_NS {

constexpr int kLanes = TB_SIMD_WIDTH;
using vd = double __attribute__((vector_size(8 * TB_SIMD_WIDTH)));
using vi = int64_t __attribute__((vector_size(8 * TB_SIMD_WIDTH)));

// x - 0 is x for every x, the sign of zero included, so this broadcasts exactly.
inline vd Splat(double x) { return x - vd{}; }
inline vi Splat64(int64_t x) { return x - vi{}; }
inline vd Load(const double* p) {
  vd v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
inline void Store(double* p, vd v) { std::memcpy(p, &v, sizeof v); }
inline vi Bits(vd v) { return (vi)v; }
inline vd FromBits(vi v) { return (vd)v; }
inline vd Select(vi mask, vd a, vd b) { return FromBits((mask & Bits(a)) | (~mask & Bits(b))); }
inline vd Abs(vd v) { return FromBits(Bits(v) & Splat64(0x7FFFFFFFFFFFFFFFll)); }
inline vd Min(vd a, vd b) { return Select(a < b, a, b); }

#if TB_SIMD_WIDTH == 2
inline int Mask(vi m) { return _mm_movemask_pd((__m128d)m); }
// Rounds each lane to single precision and back, as a float conversion of a double does.
inline vd RoundToSingle(vd v) { return (vd)_mm_cvtps_pd(_mm_cvtpd_ps((__m128d)v)); }
#elif TB_SIMD_WIDTH == 4
inline int Mask(vi m) { return _mm256_movemask_pd((__m256d)m); }
inline vd RoundToSingle(vd v) { return (vd)_mm256_cvtps_pd(_mm256_cvtpd_ps((__m256d)v)); }
#elif TB_SIMD_WIDTH == 8
inline int Mask(vi m) { return _mm512_movepi64_mask((__m512i)m); }
inline vd RoundToSingle(vd v) { return (vd)_mm512_cvtps_pd(_mm512_cvtpd_ps((__m512d)v)); }
#else
#error "TB_SIMD_WIDTH must be 2, 4 or 8"
#endif

#if TB_SIMD_FMA && TB_SIMD_WIDTH == 4
inline vd Fma(vd a, vd b, vd c) { return (vd)_mm256_fmadd_pd((__m256d)a, (__m256d)b, (__m256d)c); }
#elif TB_SIMD_FMA && TB_SIMD_WIDTH == 8
inline vd Fma(vd a, vd b, vd c) { return (vd)_mm512_fmadd_pd((__m512d)a, (__m512d)b, (__m512d)c); }
#else
inline vd Fma(vd a, vd b, vd c) { return a * b + c; }
#endif

// c[0] + c[1] x + ... + c[n-1] x^(n-1) by Horner's rule.
template <int N>
inline vd Polynomial(vd x, const double (&c)[N]) {
  vd y = Splat(c[N - 1]);
  for (int i = N - 2; i >= 0; --i) y = Fma(y, x, Splat(c[i]));
  return y;
}
inline bool Any(vi mask) { return Mask(mask) != 0; }
inline bool All(vi mask) { return Mask(mask) == (1 << kLanes) - 1; }

// Round to the nearest integer (ties to even) for |x| < 2^51, without SSE4.1.
constexpr double kRoundMagic = 6755399441055744.0;  // 1.5 * 2^52
inline vd RoundNearest(vd x) { return (x + kRoundMagic) - kRoundMagic; }

// 2^k for integral k in [-1022, 1023] held as doubles.
inline vd Pow2(vd k) {
  const vi n = Bits(k + kRoundMagic) - Bits(Splat(kRoundMagic));
  return FromBits((n + 1023) << 52);
}

// Lanes for which `fast` is clear are recomputed with the scalar function.
template <class F>
inline vd PatchLanes(vd result, vd x, vi fast, F scalar) {
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

inline vd SinKernel(vd x) {
  constexpr double c[] = {8.33333333332248946124e-03, -1.98412698298579493134e-04, 2.75573137070700676789e-06,
                          -2.50507602534068634195e-08, 1.58969099521155010221e-10};
  const vd z = x * x;
  const vd v = z * x;
  return Fma(v, Fma(z, Polynomial(z, c), Splat(-1.66666666666666324348e-01)), x);
}

inline vd CosKernel(vd x) {
  constexpr double c[] = {4.16666666666666019037e-02, -1.38888888888741095749e-03, 2.48015872894767294178e-05,
                          -2.75573143513906633035e-07, 2.08757232129817482790e-09, -1.13596475577881948265e-11};
  const vd z = x * x;
  const vd r = z * Polynomial(z, c);
  const vd hz = 0.5 * z;
  const vd w = 1.0 - hz;
  return w + Fma(z, r, (1.0 - w) - hz);
}

// exp(r) - 1 for |r| <= ln(2)/2, accurate relative to the result.
inline vd Expm1Kernel(vd r) {
  constexpr double c[] = {5.0e-1,
                          1.6666666666666670986e-1,
                          4.1666666666666669752e-2,
                          8.333333333326140884e-3,
                          1.3888888888883752417e-3,
                          1.9841269874800491981e-4,
                          2.4801587325533363819e-5,
                          2.7557255425746434282e-6,
                          2.7557273661348636219e-7,
                          2.5105206373957011116e-8,
                          2.09146793765839351e-9};
  return Fma(r * r, Polynomial(r, c), r);
}

constexpr double kLn2Hi = 0x1.62e42fee00000p-1;
constexpr double kLn2Lo = 0x1.a39ef35793c76p-33;
constexpr double kLog2e = 0x1.71547652b82fep+0;
constexpr double kExpLimit = 700.0;

// tanh(t) for 0 <= t <= kTanhPolyLimit as t + t^3 P(t^2).
constexpr double kTanhPolyLimit = 0.625;
inline vd TanhPoly(vd t) {
  constexpr double c[] = {-3.3333333333333332938e-1, 1.3333333333333041602e-1, -5.396825396789699169e-2,
                          2.1869488519008305756e-2,  -8.863235103240877925e-3, 3.5921217511549622695e-3,
                          -1.4557754120478055104e-3, 5.896606577757043347e-4,  -2.3759064960555619551e-4,
                          9.2571161295567682707e-5,  -3.1201101425797400033e-5, 6.48516348279311315e-6};
  const vd u = t * t;
  return Fma(t * u, Polynomial(u, c), t);
}
}  // namespace detail

// exp(x). Fast for |x| <= 700; other lanes (and NaN) go to std::exp.
inline vd Exp(vd x) {
  using namespace detail;
  const vi fast = Abs(x) <= kExpLimit;
  const vd xs = Select(fast, x, Splat(0.0));
  const vd k = RoundNearest(xs * kLog2e);
  const vd r = (xs - k * kLn2Hi) - k * kLn2Lo;
  const vd y = (1.0 + Expm1Kernel(r)) * Pow2(k);
  if (All(fast)) return y;
  return PatchLanes(y, x, fast, [](double v) { return std::exp(v); });
}

// sin(x). Arguments beyond 1e5 in magnitude, infinities and NaN go to std::sin.
inline vd Sin(vd x) {
  using namespace detail;
  const vd ax = Abs(x);
  if (All(ax <= 0.78539816339744828)) return SinKernel(x);
  const vi fast = ax <= kReduceLimit;
  const vd xs = Select(fast, x, Splat(0.0));
  const vd n = RoundNearest(xs * kTwoOverPi);
  const vd r = ((xs - n * kPio2Hi) - n * kPio2Mid) - n * kPio2Lo;
  const vi quadrant = Bits(n + kRoundMagic) & 3;
  const vd s = SinKernel(r);
  const vd c = CosKernel(r);
  vd y = Select((quadrant & 1) != 0, c, s);
  y = Select((quadrant & 2) != 0, -y, y);
  if (All(fast)) return y;
  return PatchLanes(y, x, fast, [](double v) { return std::sin(v); });
}

// tanh(x). Small arguments by a polynomial, larger ones as 1 - 2 / (e^2|x| + 1) with the sign
// restored; NaN goes to std::tanh.
inline vd Tanh(vd x) {
  using namespace detail;
  const vd ax = Abs(x);
  const vi small = ax <= kTanhPolyLimit;
  if (All(small)) return TanhPoly(x);
  // Beyond 22 the result is 1 to double precision; the clamp keeps e^2|x| finite.
  const vd clamped = Select(ax < 22.0, ax, Splat(22.0));
  const vd e = Exp(2.0 * clamped);
  vd large = 1.0 - 2.0 / (e + 1.0);
  large = FromBits(Bits(large) | (Bits(x) & Splat64(INT64_MIN)));
  const vd y = Select(small, TanhPoly(Select(small, x, Splat(0.0))), large);
  const vi isNan = x != x;
  if (!Any(isNan)) return y;
  return PatchLanes(y, x, ~isNan, [](double v) { return std::tanh(v); });
}

// log(x). Positive normal finite arguments are fast; zero, subnormal, negative, infinite and
// NaN lanes go to std::log.
inline vd Log(vd x) {
  using namespace detail;
  const vi bits = Bits(x);
  const vi fast = (x >= 0x1p-1022) & (x <= 0x1.fffffffffffffp+1023);
  const vi mantissa = bits & Splat64(0x000FFFFFFFFFFFFFll);
  // Pick the binade so that 1 + f lies in [sqrt(2)/2, sqrt(2)).
  const vi up = (mantissa + Splat64(0x95F6400000000ll)) & Splat64(0x10000000000000ll);
  const vd m = FromBits(mantissa | (up ^ Splat64(0x3FF0000000000000ll)));
  const vi e = ((bits >> 52) & 0x7FF) - 1023 + (up >> 52);
  const vd k = FromBits(e + Bits(Splat(kRoundMagic))) - kRoundMagic;
  const vd f = m - 1.0;
  const vd s = f / (2.0 + f);
  const vd z = s * s;
  const vd w = z * z;
  constexpr double odd[] = {3.999999999940941908e-01, 2.222219843214978396e-01, 1.531383769920937332e-01};
  constexpr double even[] = {6.666666666666735130e-01, 2.857142874366239149e-01, 1.818357216161805012e-01,
                             1.479819860511658591e-01};
  const vd t1 = w * Polynomial(w, odd);
  const vd t2 = z * Polynomial(w, even);
  const vd R = t2 + t1;
  const vd hfsq = 0.5 * f * f;
  const vd y = k * kLn2Hi - ((hfsq - (s * (hfsq + R) + k * kLn2Lo)) - f);
  if (All(fast)) return y;
  return PatchLanes(y, x, fast, [](double v) { return std::log(v); });
}

}  // namespace TB_SIMD_NS
