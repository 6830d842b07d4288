// Bodies of the chain's batch loops; included once per instruction set inside a namespace of
// its own (TB_KERNEL_NS), after the matching SimdVector.inl instance (TB_SIMD_NS). No include
// guard and no standard-library templates, for the reason given in SimdVector.inl.

namespace TB_KERNEL_NS {
using namespace TB_SIMD_NS;

constexpr double kSaturateK = 0.005623413251903491;  // 10^-2.25
constexpr double kDbPerNeper = 8.685889638065037;    // 20 / ln 10
constexpr double kNeperPerDb = 0.1151292546497;      // ln 10 / 20
constexpr double kLnOneHundredth = -0x1.26bb1bbb55515p+2;  // ln of the double nearest 0.01

inline vd SaturateV(vd x) {
  const vd x3 = x * x * x;
  const vd x4 = x * x3;
  return x + kSaturateK * ((Sin(x4) - Tanh(x3)) + Tanh(x4));
}

void SaturateBlock(const double* x, const double* add, double* out, int n) {
  for (int i = 0; i < n; i += kLanes) {
    const vd y = SaturateV(Load(x + i));
    Store(out + i, add != nullptr ? y + Load(add + i) : y);
  }
}

void DetectorMix(const double* l, const double* r, double* comp, double* lim, int n) {
  for (int i = 0; i < n; i += kLanes) {
    const vd a = Load(l + i);
    const vd b = Load(r + i);
    Store(comp + i, RoundToSingle(0.5 * (a + b)));
    Store(lim + i, Abs(Select(a < b, b, a)));
  }
}

// RangeMap's formula for the input range 0 to 1.
inline vd AutoMs(vd p, double outMin, double outMax) { return (p - 0.0) / (1.0 - 0.0) * (outMax - outMin) + outMin; }

void AutoRecovery(const double* l, const double* r, double* compMs, double* levelMs, int n, double compMin,
                  double compMax, double levelMin, double levelMax) {
  for (int i = 0; i < n; i += kLanes) {
    const vd a = Abs(Load(l + i));
    const vd b = Abs(Load(r + i));
    const vd p = Select(a < b, b, a);
    Store(compMs + i, AutoMs(p, compMin, compMax));
    Store(levelMs + i, AutoMs(p, levelMin, levelMax));
  }
}

void ReleaseCoefficients(const double* ms, double fs, double* coefs, int n) {
  for (int i = 0; i < n; i += kLanes) {
    const vd u = 1.0 / ((Load(ms + i) * fs) * 0.001);
    Store(coefs + i, Exp(u * kLnOneHundredth));
  }
}

// The gain computer of compressor::Process: level in dB, soft knee or straight line, never a
// boost.
inline vd GainDb(vd env, vd threshold, vd kneeWidth, vd kneeLow, vd kneeHigh, vd slope) {
  const vd e = Log(Abs(env)) * kDbPerNeper;
  const vi inKnee = (kneeWidth > 0.0) & (kneeLow < e) & (e < kneeHigh);
  const vd kneeSlope = (e - kneeLow) / kneeWidth * 0.5 * slope;
  const vd knee = (kneeLow - e) * kneeSlope;
  vd line = (threshold - e) * slope;
  line = Select(line < 0.0, line, Splat(0.0));
  return Select(inKnee, knee, line);
}

double SectionGains(const double* env, const SectionParamsView& p, int n, double* linear, double* lastDb) {
  vd deepest = Splat(0.0);
  const vd quiet = Splat(p.constant ? p.quietBound : 0.0);
  for (int i = 0; i < n; i += kLanes) {
    const vd e = Load(env + i);
    vd g = Splat(0.0);
    if (All(Abs(e) <= quiet)) {
      Store(linear + i, Splat(1.0));
    } else {
      const int k = p.constant ? 0 : i;
      const auto param = [&](const double* a) { return p.constant ? Splat(a[0]) : Load(a + k); };
      g = GainDb(e, param(p.threshold), param(p.kneeWidth), param(p.kneeLow), param(p.kneeHigh), param(p.slope));
      Store(linear + i, Exp(g * kNeperPerDb));
      vd valid = g;
      for (int lane = n - i; lane < kLanes; ++lane) valid[lane] = 0.0;
      deepest = Min(valid, deepest);
    }
    if (i + kLanes >= n) *lastDb = g[n - 1 - i];
  }
  double result = 0.0;
  for (int lane = 0; lane < kLanes; ++lane) result = deepest[lane] < result ? deepest[lane] : result;
  return result;
}

void WetDirect(const double* ga, const double* gb, const double* colL, const double* colR, double* wetL,
               double* wetR, int n) {
  for (int i = 0; i < n; i += kLanes) {
    const vd a = Load(ga + i);
    const vd b = Load(gb + i);
    Store(wetL + i, b * (a * Load(colL + i)));
    Store(wetR + i, b * (a * Load(colR + i)));
  }
}

// The factor 2 restores the level lost to the zeros inserted by the interpolation.
void WetOversampled(const double* ga, const double* gb, const double* u0, const double* u1, double* w0, double* w1,
                    int n) {
  for (int i = 0; i < n; i += kLanes) {
    const vd a = Load(ga + i);
    const vd b = Load(gb + i);
    Store(w0 + i, b * (2.0 * (a * Load(u0 + i))));
    Store(w1 + i, b * (2.0 * (a * Load(u1 + i))));
  }
}

// first[j] / second[j]: samples stored by the first / second call of frame j (history before
// index 0). The first call's output has its centre tap 32 frames back on the first calls and
// its odd taps on the second calls; the second call's output the other way round. The sum runs
// in HalfbandFilter::Process's order.
void HalfbandFirst(const double* first, const double* second, const double* taps, double offset, double* out,
                   int n) {
  for (int j = 0; j < n; j += kLanes) {
    vd y = 0.5 * Load(first + j - 32);
    for (int i = 0; i < 32; ++i) y += taps[i] * (Load(second + j - 1 - i) + Load(second + j - 64 + i));
    Store(out + j, y - offset);
  }
}

void HalfbandSecond(const double* first, const double* second, const double* taps, double offset, double* out,
                    int n) {
  for (int j = 0; j < n; j += kLanes) {
    vd y = 0.5 * Load(second + j - 32);
    for (int i = 0; i < 32; ++i) y += taps[i] * (Load(first + j - i) + Load(first + j - 63 + i));
    Store(out + j, y - offset);
  }
}

}  // namespace TB_KERNEL_NS
