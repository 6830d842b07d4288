// Bodies of the chain's loops; included once per instruction set inside a namespace of its own
// (TB_KERNEL_NS), after the matching SimdVector.inl instance (TB_SIMD_NS). No include guard and
// no standard-library templates, for the reason given in SimdVector.inl.

namespace TB_KERNEL_NS {
using namespace TB_SIMD_NS;

constexpr double kSaturateK = 0.005623413251903491;  // 10^-2.25
constexpr double kDbPerNeper = 8.685889638065037;    // 20 / ln 10
constexpr double kNeperPerDb = 0.1151292546497;      // ln 10 / 20
constexpr double kLnOneHundredth = -0x1.26bb1bbb55515p+2;  // ln of the double nearest 0.01

// ---- recursions: two lanes, every step as the per-sample recipe writes it ----

using v2 = double __attribute__((vector_size(16)));
using v2i = int64_t __attribute__((vector_size(16)));

inline double Single(double x) { return static_cast<double>(static_cast<float>(x)); }
inline v2 SinglePair(v2 v) { return (v2)_mm_cvtps_pd(_mm_cvtpd_ps((__m128d)v)); }
inline v2 AbsPair(v2 v) { return (v2)((v2i)v & (v2i){INT64_MAX, INT64_MAX}); }

#if TB_SIMD_FMA
inline v2 MultiplyAdd(v2 a, v2 b, v2 c) { return (v2)_mm_fmadd_pd((__m128d)a, (__m128d)b, (__m128d)c); }
#else
inline v2 MultiplyAdd(v2 a, v2 b, v2 c) { return a * b + c; }
#endif

// a where the sign bit of `sign` is set, else b. A blend is one short step at the end of a
// recursion's chain, where a masked arithmetic operation would lengthen it.
// The empty statement keeps the compiler from folding the candidates' last operation into a
// masked one that would wait for both.
#if TB_SIMD_WIDTH >= 4
inline v2 BlendBySign(v2 sign, v2 a, v2 b) {
  asm("" : "+x"(a), "+x"(b));
  return (v2)_mm_blendv_pd((__m128d)b, (__m128d)a, (__m128d)sign);
}
#else
inline v2 BlendBySign(v2 sign, v2 a, v2 b) {
  const v2i mask = (v2i)sign >> 63;
  return (v2)((mask & (v2i)a) | (~mask & (v2i)b));
}
#endif

// Biquad::Process without its reset of a non-finite state, which finite inputs never need.
inline double Step(Biquad::Snapshot& f, double x) {
  const double y = x * f.a0 + f.z1;
  f.z1 = x * f.a1 + f.z2 - f.b1 * y;
  f.z2 = x * f.a2 - f.b2 * y;
  return y;
}

// Takes a section through the inputs of its unfinished block of eight, one step each, before it
// runs sample by sample.
inline void Resolve(Biquad::Snapshot& f, PartialBlock* partial) {
  if (partial == nullptr) return;
  for (int k = 0; k < partial->count; ++k) Step(f, partial->input[k]);
  *partial = PartialBlock{};
}

// Two sections, one per lane.
struct BiquadPair {
  v2 a0, a1, a2, b1, b2, z1, z2;
  BiquadPair(const Biquad::Snapshot& l, const Biquad::Snapshot& r)
      : a0{l.a0, r.a0}, a1{l.a1, r.a1}, a2{l.a2, r.a2}, b1{l.b1, r.b1}, b2{l.b2, r.b2}, z1{l.z1, r.z1},
        z2{l.z2, r.z2} {}
  v2 Step(v2 x) {
    const v2 y = x * a0 + z1;
    z1 = x * a1 + z2 - b1 * y;
    z2 = x * a2 - b2 * y;
    return y;
  }
  void Save(Biquad::Snapshot& l, Biquad::Snapshot& r) const {
    l.z1 = z1[0];
    l.z2 = z2[0];
    r.z1 = z1[1];
    r.z2 = z2[1];
  }
};

// The needle aims 1.25 % past its input in the direction of travel; both aims are followed and
// the one the comparison picks is kept. Lane 0 is the limiter's needle, lane 1 the compressor's.
// The needles are the one recursion not taken in the recipe's order: (s - aim) * c + aim is
// formed as c * s + (1 - c) * aim, so only one multiply-add lies on the needle's own chain and
// the aims' share is formed beside it. That shortens the step to about a third; as the needle is
// a display value that forgets at the rate c, the difference stays in the last bits.
struct NeedlePair {
  v2 s;
  v2 c;
  v2 upShare;    // (1 - c) * 1.0125
  v2 downShare;  // (1 - c) * 0.9875
  NeedlePair(const Needles& n)
      : s{n.state[0], n.state[1]},
        c{n.coef, n.coef},
        upShare{(1.0 - n.coef) * 1.0125, (1.0 - n.coef) * 1.0125},
        downShare{(1.0 - n.coef) * 0.9875, (1.0 - n.coef) * 0.9875} {}
  void Step(double limGain, double compGain) {
    v2 v = AbsPair(1.0 - v2{limGain, compGain});
    v = v <= 0x1.fffffffffffffp+1023 ? v : v2{};  // a reading that is not finite counts as none
    const v2 towardsUp = MultiplyAdd(c, s, v * upShare);
    const v2 towardsDown = MultiplyAdd(c, s, v * downShare);
    s = BlendBySign(s - v, towardsUp, towardsDown);  // s - v < 0 exactly when v > s
  }
  // The step with its reading and shares formed beforehand (see PrepareBlock).
  void StepPrepared(v2 v, v2 up, v2 down) {
    s = BlendBySign(s - v, MultiplyAdd(c, s, up), MultiplyAdd(c, s, down));
  }
  void Save(Needles& n) const {
    n.state[0] = s[0];
    n.state[1] = s[1];
  }
};

void NeedleRun(Needles& needles) {
  NeedlePair p(needles);
  for (int j = 0; j < needles.count; ++j) p.Step(needles.limGain[j], needles.compGain[j]);
  p.Save(needles);
  needles.count = 0;
}

#if TB_SIMD_WIDTH >= 4
// ---- recursions regrouped: filters eight samples at a time, envelopes in a shorter form ----

constexpr int kBlockFrames = BiquadBlockForm::kFrames;
constexpr int kBlockVectors = kBlockFrames / kLanes;

// One block of eight: y[0..7] = single(section(x[0..7])) from the state (z1, z2), which moves on
// eight samples. y may be x.
__attribute__((always_inline)) inline void BiquadBlock(const BiquadBlockForm& f, const Biquad::Snapshot& s,
                                                       double& z1, double& z2, const double* x, double* y) {
  // Even and odd inputs in two sums, so the chain of multiply-adds is half as long.
  vd even[kBlockVectors], odd[kBlockVectors], part[kBlockVectors];
#pragma GCC unroll 8
  for (int v = 0; v < kBlockVectors; ++v) {
    even[v] = Splat(x[0]) * Load(f.fromInput[0] + v * kLanes);
    odd[v] = Splat(x[1]) * Load(f.fromInput[1] + v * kLanes);
  }
#pragma GCC unroll 8
  for (int j = 2; j < kBlockFrames; ++j) {
    const vd xj = Splat(x[j]);
#pragma GCC unroll 8
    for (int v = 0; v < kBlockVectors; ++v) {
      if (j >= (v + 1) * kLanes) continue;  // all 0 there
      vd& sum = j % 2 == 0 ? even[v] : odd[v];
      sum = Fma(xj, Load(f.fromInput[j] + v * kLanes), sum);
    }
  }
#pragma GCC unroll 8
  for (int v = 0; v < kBlockVectors; ++v) part[v] = even[v] + odd[v];
  // The state after the block, less what the state before it contributes.
  const double x6 = x[6], x7 = x[7];
  const double y6 = part[kBlockVectors - 1][kLanes - 2], y7 = part[kBlockVectors - 1][kLanes - 1];
  const double inputZ2 = x7 * s.a2 - s.b2 * y7;
  const double inputZ1 = x7 * s.a1 + (x6 * s.a2 - s.b2 * y6) - s.b1 * y7;
  const vd v1 = Splat(z1), v2 = Splat(z2);
#pragma GCC unroll 8
  for (int v = 0; v < kBlockVectors; ++v)
    Store(y + v * kLanes,
          RoundToSingle(Fma(v1, Load(f.fromZ1 + v * kLanes), Fma(v2, Load(f.fromZ2 + v * kLanes), part[v]))));
  const double next1 = std::fma(f.carry[0][0], z1, std::fma(f.carry[0][1], z2, inputZ1));
  const double next2 = std::fma(f.carry[1][0], z1, std::fma(f.carry[1][1], z2, inputZ2));
  z1 = next1;
  z2 = next2;
}

// Feeds n inputs to a section in block form, where `partial` says how far into its block of
// eight it is; s holds the state at that block's start. A block that is not yet whole gives the
// outputs of the inputs seen: the inputs still to come weigh 0 in them (an exact no-op), so
// they come out as they will when the block is whole. y may be x.
inline void BiquadFeed(const BiquadBlockForm& f, Biquad::Snapshot& s, PartialBlock& partial, const double* x, double* y,
                       int n) {
  alignas(64) double out[kBlockFrames];
  int i = 0;
  while (i < n) {
    if (partial.count == 0 && n - i >= kBlockFrames) {
      BiquadBlock(f, s, s.z1, s.z2, x + i, y + i);
      i += kBlockFrames;
      continue;
    }
    const int first = partial.count;
    const int take = n - i < kBlockFrames - first ? n - i : kBlockFrames - first;
    for (int k = 0; k < take; ++k) partial.input[first + k] = x[i + k];
    double z1 = s.z1, z2 = s.z2;
    BiquadBlock(f, s, z1, z2, partial.input, out);
    for (int k = 0; k < take; ++k) y[i + k] = out[first + k];
    i += take;
    partial.count = first + take;
    if (partial.count == kBlockFrames) {
      s.z1 = z1;
      s.z2 = z2;
      partial = PartialBlock{};
    }
  }
}

// The envelope with release coefficient r >= attack a is the larger of its two candidates:
// rising (v > env), env + (1 - a)(v - env) exceeds env + (1 - r)(v - env); falling, it is the
// other way round. So env' = max(a env + (1 - a) v, r env + (1 - r) v), one multiply-add and
// one maximum on the recursion's path, with the inputs' shares formed beside it. Lane 0 is the
// compressor, lane 1 the limiter.
struct EnvelopePair {
  v2 env;
  v2 attack;
  v2 attackShare;  // 1 - attack
  EnvelopePair(const DetectorSections& s)
      : env{s.envelope[0], s.envelope[1]},
        attack{s.attack[0], s.attack[1]},
        attackShare{1.0 - s.attack[0], 1.0 - s.attack[1]} {}
  // The step with the inputs' shares formed beforehand (see PrepareBlock).
  v2 StepPrepared(v2 rising, v2 release, v2 falling) {
    env = (v2)_mm_max_pd((__m128d)MultiplyAdd(attack, env, rising), (__m128d)MultiplyAdd(release, env, falling));
    return env;
  }
  v2 Step(double comp, double lim, double compRelease, double limRelease) {
    const v2 v{std::fabs(comp), lim};
    const v2 release{compRelease, limRelease};
    const v2 rising = MultiplyAdd(attack, env, v * attackShare);
    const v2 falling = MultiplyAdd(release, env, v * (1.0 - release));
    env = (v2)_mm_max_pd((__m128d)rising, (__m128d)falling);
    return env;
  }
};

// Whether every release of the chunk is at least its attack, which the shorter form needs.
inline bool ReleasesAtLeast(const double* release, double attack, int n) {
  vd lowest = Splat(attack);
  int i = 0;
  for (; i + kLanes <= n; i += kLanes) lowest = Min(Load(release + i), lowest);
  bool ok = All(lowest >= attack);
  for (; i < n; ++i) ok = ok && release[i] >= attack;
  return ok;
}

// a and b side by side: out[2k] = a[k], out[2k + 1] = b[k], for the kLanes elements of each.
// __builtin_shufflevector, not GCC's __builtin_shuffle: clang (the fuzzing build) knows only the former.
inline void Interleave(vd a, vd b, double* out) {
#if TB_SIMD_WIDTH == 8
  Store(out, __builtin_shufflevector(a, b, 0, 8, 1, 9, 2, 10, 3, 11));
  Store(out + kLanes, __builtin_shufflevector(a, b, 4, 12, 5, 13, 6, 14, 7, 15));
#else
  Store(out, __builtin_shufflevector(a, b, 0, 4, 1, 5));
  Store(out + kLanes, __builtin_shufflevector(a, b, 2, 6, 3, 7));
#endif
}

// The inputs of eight envelope steps and, while there are needle steps, eight needle steps,
// formed in wide vectors off the recursions' path with the same operations the steps would
// take, as pairs in the lanes the steps use.
struct PreparedBlock {
  alignas(64) double rising[2 * kBlockFrames];   // v (1 - attack): compressor, limiter
  alignas(64) double release[2 * kBlockFrames];
  alignas(64) double falling[2 * kBlockFrames];  // v (1 - release)
  alignas(64) double reading[2 * kBlockFrames];  // needle readings: limiter, compressor
  alignas(64) double up[2 * kBlockFrames];
  alignas(64) double down[2 * kBlockFrames];

  void Envelopes(const double* comp, const double* lim, const double* compRelease, const double* limRelease,
                 const EnvelopePair& e) {
    for (int v = 0; v < kBlockVectors; ++v) {
      const int at = v * kLanes;
      const vd c = Abs(Load(comp + at));
      const vd l = Load(lim + at);
      const vd rc = Load(compRelease + at);
      const vd rl = Load(limRelease + at);
      Interleave(c * e.attackShare[0], l * e.attackShare[1], rising + 2 * at);
      Interleave(rc, rl, release + 2 * at);
      Interleave(c * (1.0 - rc), l * (1.0 - rl), falling + 2 * at);
    }
  }
  void Needles(const double* limGain, const double* compGain, const NeedlePair& n) {
    const vd largest = Splat(0x1.fffffffffffffp+1023);
    for (int v = 0; v < kBlockVectors; ++v) {
      const int at = v * kLanes;
      vd l = Abs(1.0 - Load(limGain + at));
      vd c = Abs(1.0 - Load(compGain + at));
      l = Select(l <= largest, l, Splat(0.0));  // a reading that is not finite counts as none
      c = Select(c <= largest, c, Splat(0.0));
      Interleave(l, c, reading + 2 * at);
      Interleave(l * n.upShare[0], c * n.upShare[1], up + 2 * at);
      Interleave(l * n.downShare[0], c * n.downShare[1], down + 2 * at);
    }
  }
};

inline v2 PairAt(const double* a, int k) {
  v2 v;
  std::memcpy(&v, a + 2 * k, sizeof v);
  return v;
}

// The compressor's three detector filters and both envelopes in one loop, each stage a block of
// eight behind the one before it: the envelopes' and needles' recursions wait on every sample,
// and the filters' block work fills those waits. Frames before the first and after the last whole
// block of the stream's eights go through each filter in turn, then through the envelopes.
// Needle step i reads the gains at i before envelope i replaces them.
void DetectorBlocks(double* comp, const double* lim, DetectorSections& s, const double* compRelease,
                    const double* limRelease, double* compEnv, double* limEnv, int n, Needles& needles) {
  const BiquadBlockForm* forms[3] = {s.highPassBlock, s.midPeakBlock, s.highShelfBlock};
  Biquad::Snapshot* sections[3] = {&s.highPass, &s.midPeak, &s.highShelf};
  EnvelopePair e(s);
  NeedlePair needle(needles);
  const int m = needles.count;
  // Local copies keep both recursions in registers, off the round trip through memory.
  const auto envelopes = [&](int first, int last) __attribute__((always_inline)) {
    EnvelopePair envelope = e;
    NeedlePair pointer = needle;
    for (int i = first; i < last; ++i) {
      if (i < m) pointer.Step(needles.limGain[i], needles.compGain[i]);
      const v2 env = envelope.Step(comp[i], lim[i], compRelease[i], limRelease[i]);
      compEnv[i] = env[0];
      limEnv[i] = env[1];
    }
    e = envelope;
    needle = pointer;
  };
  const auto fed = [&](int first, int last) {
    if (first == last) return;
    for (int k = 0; k < 3; ++k) BiquadFeed(*forms[k], *sections[k], *s.partial[k], comp + first, comp + first, last - first);
    envelopes(first, last);
  };
  // The three sections always see the same frames, so they stand at the same place in their blocks.
  const int toWhole = (kBlockFrames - s.partial[0]->count) % kBlockFrames;
  const int head = toWhole < n ? toWhole : n;
  fed(0, head);
  const int blocks = (n - head) / kBlockFrames;
  double z[3][2] = {{s.highPass.z1, s.highPass.z2}, {s.midPeak.z1, s.midPeak.z2}, {s.highShelf.z1, s.highShelf.z2}};
  PreparedBlock prepared;
  // Iteration t filters block t through the high-pass, block t - 1 through the mid peak, block
  // t - 2 through the high shelf and takes the envelopes through block t - 3: four independent
  // chains side by side.
  for (int t = 0; t < blocks + 3; ++t) {
    const auto block = [&](int b) { return comp + head + b * kBlockFrames; };
    if (t < blocks) BiquadBlock(*forms[0], *sections[0], z[0][0], z[0][1], block(t), block(t));
    if (t >= 1 && t - 1 < blocks) BiquadBlock(*forms[1], *sections[1], z[1][0], z[1][1], block(t - 1), block(t - 1));
    if (t >= 2 && t - 2 < blocks) BiquadBlock(*forms[2], *sections[2], z[2][0], z[2][1], block(t - 2), block(t - 2));
    if (t >= 3) {
      const int first = head + (t - 3) * kBlockFrames;
      if (first + kBlockFrames > m && first < m) {
        envelopes(first, first + kBlockFrames);  // the needle steps end inside this block
        continue;
      }
      PreparedBlock& p = prepared;
      const bool withNeedles = first < m;
      p.Envelopes(comp + first, lim + first, compRelease + first, limRelease + first, e);
      if (withNeedles) p.Needles(needles.limGain + first, needles.compGain + first, needle);
      EnvelopePair envelope = e;
      NeedlePair pointer = needle;
      for (int k = 0; k < kBlockFrames; ++k) {
        if (withNeedles) pointer.StepPrepared(PairAt(p.reading, k), PairAt(p.up, k), PairAt(p.down, k));
        const v2 env = envelope.StepPrepared(PairAt(p.rising, k), PairAt(p.release, k), PairAt(p.falling, k));
        compEnv[first + k] = env[0];
        limEnv[first + k] = env[1];
      }
      e = envelope;
      needle = pointer;
    }
  }
  for (int k = 0; k < 3; ++k) {
    sections[k]->z1 = z[k][0];
    sections[k]->z2 = z[k][1];
  }
  fed(head + blocks * kBlockFrames, n);
  for (int j = n; j < m; ++j) needle.Step(needles.limGain[j], needles.compGain[j]);
  needle.Save(needles);
  needles.count = 0;
  s.envelope[0] = e.env[0];
  s.envelope[1] = e.env[1];
}

// The input filters of one or two channels in one loop, the peak a block behind the high-pass,
// so their recursions overlap; frames outside the stream's whole blocks of eight are fed one
// section after the other.
void ColourBlocks(const double* const* in, ColourSections& s, double* const* out, int n, int channels) {
  const auto fed = [&](int c, int first, int last) {
    if (first == last) return;
    BiquadFeed(*s.highPassBlock, s.highPass[c], *s.highPassPartial[c], in[c] + first, out[c] + first, last - first);
    BiquadFeed(*s.peakBlock, s.peak[c], *s.peakPartial[c], out[c] + first, out[c] + first, last - first);
  };
  // A channel's two sections see the same frames; both channels do unless one was at rest.
  const int toWhole = (kBlockFrames - s.highPassPartial[0]->count) % kBlockFrames;
  const bool together = channels == 1 || s.highPassPartial[1]->count == s.highPassPartial[0]->count;
  if (!together) {
    for (int c = 0; c < channels; ++c) fed(c, 0, n);
    return;
  }
  const int head = toWhole < n ? toWhole : n;
  for (int c = 0; c < channels; ++c) fed(c, 0, head);
  const int blocks = (n - head) / kBlockFrames;
  double z[2][2][2] = {};  // [channel][high-pass, peak][z1, z2]
  for (int c = 0; c < channels; ++c) {
    z[c][0][0] = s.highPass[c].z1;
    z[c][0][1] = s.highPass[c].z2;
    z[c][1][0] = s.peak[c].z1;
    z[c][1][1] = s.peak[c].z2;
  }
  const auto run = [&](int chans) __attribute__((always_inline)) {
    for (int t = 0; t < blocks + 1; ++t)
      for (int c = 0; c < chans; ++c) {
        const int at = head + t * kBlockFrames;
        if (t < blocks) BiquadBlock(*s.highPassBlock, s.highPass[c], z[c][0][0], z[c][0][1], in[c] + at, out[c] + at);
        if (t >= 1) {
          double* behind = out[c] + at - kBlockFrames;
          BiquadBlock(*s.peakBlock, s.peak[c], z[c][1][0], z[c][1][1], behind, behind);
        }
      }
  };
  if (channels == 1)
    run(1);
  else
    run(2);
  for (int c = 0; c < channels; ++c) {
    s.highPass[c].z1 = z[c][0][0];
    s.highPass[c].z2 = z[c][0][1];
    s.peak[c].z1 = z[c][1][0];
    s.peak[c].z2 = z[c][1][1];
  }
  for (int c = 0; c < channels; ++c) fed(c, head + blocks * kBlockFrames, n);
}
#endif

// The loops below are software-pipelined: each iteration runs every stage once, each on a later
// sample than the stage after it, so a stage takes its input from the previous iteration. The
// per-sample chain through the stages is long (several filters with their roundings); this way
// the processor overlaps the recursions of all stages instead of waiting for the chain.
// run(first, last, ...) performs iterations first .. last - 1 of n + stages - 1; the stages that
// have no sample in an iteration are skipped, which only happens at both ends. The colour loop
// also carries the needles of the previous chunk, whose recursion would otherwise run alone.

void Colour(const double* inL, const double* inR, ColourSections& s, double* xL, double* xR, int n, int channels,
            Needles& needles) {
#if TB_SIMD_WIDTH >= 4
  if (s.highPassBlock != nullptr && s.peakBlock != nullptr) {
    const double* in[2] = {inL, inR};
    double* out[2] = {xL, xR};
    ColourBlocks(in, s, out, n, channels);
    return;
  }
#endif
  for (int c = 0; c < channels; ++c) {
    Resolve(s.highPass[c], s.highPassPartial[c]);
    Resolve(s.peak[c], s.peakPartial[c]);
  }
  NeedlePair needle(needles);
  const int m = needles.count;
  // Iterations 1 .. fused - 1 take needle step i - 1 along.
  const int fused = n < m + 1 ? n : m + 1;
  if (channels == 1) {
    Biquad::Snapshot highPass = s.highPass[0];
    Biquad::Snapshot peak = s.peak[0];
    double high = 0.0;  // high-pass output of the previous iteration's sample
    const auto run = [&](int first, int last, bool edges, bool withNeedles) __attribute__((always_inline)) {
      for (int i = first; i < last; ++i) {
        if (withNeedles) needle.Step(needles.limGain[i - 1], needles.compGain[i - 1]);
        if (!edges || i >= 1) xL[i - 1] = Single(Step(peak, high));
        if (!edges || i < n) high = Single(Step(highPass, inL[i]));
      }
    };
    run(0, 1, true, false);
    run(1, fused, false, true);
    run(fused > 1 ? fused : 1, n, false, false);
    run(n, n + 1, true, false);
    s.highPass[0] = highPass;
    s.peak[0] = peak;
  } else {
    BiquadPair highPass(s.highPass[0], s.highPass[1]);
    BiquadPair peak(s.peak[0], s.peak[1]);
    v2 high{};
    const auto run = [&](int first, int last, bool edges, bool withNeedles) __attribute__((always_inline)) {
      for (int i = first; i < last; ++i) {
        if (withNeedles) needle.Step(needles.limGain[i - 1], needles.compGain[i - 1]);
        if (!edges || i >= 1) {
          const v2 x = SinglePair(peak.Step(high));
          xL[i - 1] = x[0];
          xR[i - 1] = x[1];
        }
        if (!edges || i < n) high = SinglePair(highPass.Step(v2{inL[i], inR[i]}));
      }
    };
    run(0, 1, true, false);
    run(1, fused, false, true);
    run(fused > 1 ? fused : 1, n, false, false);
    run(n, n + 1, true, false);
    highPass.Save(s.highPass[0], s.highPass[1]);
    peak.Save(s.peak[0], s.peak[1]);
  }
  for (int j = fused > 1 ? fused - 1 : 0; j < m; ++j) needle.Step(needles.limGain[j], needles.compGain[j]);
  needle.Save(needles);
  needles.count = 0;
}

// The envelope rises with the attack when the input exceeds it (env - v < 0) and falls with the
// release otherwise; both products are formed and one is taken, so no branch waits on the data.
// Stages: high-pass, mid peak, high shelf, envelopes.
void DetectorEnvelopes(double* comp, const double* lim, DetectorSections& s, const double* compRelease,
                       const double* limRelease, double* compEnv, double* limEnv, int n, Needles& needles) {
#if TB_SIMD_WIDTH >= 4
  if (s.highPassBlock != nullptr && s.midPeakBlock != nullptr && s.highShelfBlock != nullptr &&
      ReleasesAtLeast(compRelease, s.attack[0], n) && ReleasesAtLeast(limRelease, s.attack[1], n)) {
    DetectorBlocks(comp, lim, s, compRelease, limRelease, compEnv, limEnv, n, needles);
    return;
  }
#endif
  Resolve(s.highPass, s.partial[0]);
  Resolve(s.midPeak, s.partial[1]);
  Resolve(s.highShelf, s.partial[2]);
  if (needles.count > 0) NeedleRun(needles);
  Biquad::Snapshot highPass = s.highPass;
  Biquad::Snapshot midPeak = s.midPeak;
  Biquad::Snapshot highShelf = s.highShelf;
  v2 env{s.envelope[0], s.envelope[1]};
  const v2 attack{s.attack[0], s.attack[1]};
  // Values on their way between the stages, with the limiter's input travelling alongside.
  double high = 0.0, mid = 0.0, shelf = 0.0;
  double limHigh = 0.0, limMid = 0.0, limShelf = 0.0;
  const auto run = [&](int first, int last, bool edges) __attribute__((always_inline)) {
    for (int i = first; i < last; ++i) {
      if (!edges || (i >= 3 && i < n + 3)) {
        const int k = i - 3;
        const v2 v{std::fabs(shelf), limShelf};
        const v2 d = env - v;  // negative exactly when v > env (neither is negative or -0)
        const v2 rising = d * attack;
        const v2 falling = d * v2{compRelease[k], limRelease[k]};
        env = BlendBySign(d, rising, falling) + v;
        compEnv[k] = env[0];
        limEnv[k] = env[1];
      }
      if (!edges || (i >= 2 && i < n + 2)) {
        shelf = Single(Step(highShelf, mid));
        limShelf = limMid;
      }
      if (!edges || (i >= 1 && i < n + 1)) {
        mid = Single(Step(midPeak, high));
        limMid = limHigh;
      }
      if (!edges || i < n) {
        high = Single(Step(highPass, comp[i]));
        limHigh = lim[i];
      }
    }
  };
  const int steadyFirst = 3 < n ? 3 : n;
  run(0, steadyFirst, true);
  run(steadyFirst, n, false);
  run(n > 3 ? n : steadyFirst, n + 3, true);
  s.highPass = highPass;
  s.midPeak = midPeak;
  s.highShelf = highShelf;
  s.envelope[0] = env[0];
  s.envelope[1] = env[1];
}

// Two steps of the smoother per sample, z' = a (a z + b t) + b t, taken as one:
// z' = a^2 z + (a + 1) b t. The times differ from the two roundings of the recipe in the last
// bit or so, which moves a release coefficient by some 1e-20; the recursion waits for one
// multiply-add per sample instead of two.
void ReleaseTimes(const double* compTargets, const double* levelTargets, double a, double b, double* z,
                  double* compTimes, double* levelTimes, int n) {
  v2 state{z[0], z[1]};
  const v2 a2{a * a, a * a};
  const v2 ab{(a + 1.0) * b, (a + 1.0) * b};
  for (int i = 0; i < n; ++i) {
    state = MultiplyAdd(a2, state, ab * v2{compTargets[i], levelTargets[i]});
    compTimes[i] = state[0];
    levelTimes[i] = state[1];
  }
  z[0] = state[0];
  z[1] = state[1];
}

// ---- batch loops ----

// Saturate(x) = x + K (sin(x^4) - tanh(x^3) + tanh(x^4)), with sin u + tanh u = u P(u^2) and
// tanh t = t Q(t^2). P and Q interpolate the two functions at Chebyshev points of [0, w] for the
// largest w that |x| <= 0.25, 0.8 or 1 gives (u^2 = x^8, t^2 = x^6), to a relative error near
// 1e-16: after the factor K the error is some 1e-19 of a sample near full scale, far below its
// last place (1.1e-16). Other arguments take the three functions one by one. Below 1e-8 the
// added term is less than half a unit in the last place of x, so the sample passes unchanged,
// as it does in the plain formula.
constexpr double kSinTanh025[] = {0x1.0000000000000p+1, -0x1.0000000000000p-1, 0x1.22222221ea242p-3,
                                  -0x1.bbba5561abf2bp-5};
constexpr double kTanh025[] = {0x1.0000000000000p+0, -0x1.5555555554fbcp-2, 0x1.111110d9173b2p-3,
                               -0x1.ba053d8d39405p-5};
constexpr double kSinTanh08[] = {0x1.0000000000000p+1,  -0x1.fffffffffffcep-2, 0x1.222222221d49dp-3,
                                 -0x1.bbbbbbb5f05cdp-5, 0x1.665ad5b1456c1p-6,  -0x1.226e1c18e6634p-7,
                                 0x1.d6c2e2fbff9a5p-9,  -0x1.7c821a36a7e92p-10, 0x1.29856eead9afcp-11,
                                 -0x1.67f2e25969864p-13};
constexpr double kTanh08[] = {0x1.0000000000000p+0,   -0x1.555555555550ep-2, 0x1.111111110bbd6p-3,
                              -0x1.ba1ba1b522585p-5,  0x1.664f475134cddp-6,  -0x1.226e0a779ddb7p-7,
                              0x1.d6cc45e873c13p-9,   -0x1.7d35a4cea4535p-10, 0x1.314a62b813691p-11,
                              -0x1.c4c7f2d6e7746p-13, 0x1.cf4c79875e980p-15};
constexpr double kSinTanh1[] = {0x1.0000000000000p+1,   -0x1.ffffffffffff6p-2,  0x1.2222222221a57p-3,
                                -0x1.bbbbbbbb7133fp-5,  0x1.665ad768d1b13p-6,   -0x1.226e6a09d5826p-7,
                                0x1.d6d3ad7a9090fp-9,   -0x1.7da1c1d918704p-10, 0x1.354aabe3b37a7p-11,
                                -0x1.f4d8bb60ecc08p-13, 0x1.9386d6901b678p-14,  -0x1.3f16484ca08f4p-15,
                                0x1.de54b3b8a3e44p-17,  -0x1.3e3409ecbd1b4p-18, 0x1.534ce0b79b4edp-20,
                                -0x1.f02da278bca1cp-23, 0x1.69edf43a81237p-26};
constexpr double kTanh1[] = {0x1.0000000000000p+0,   -0x1.555555555554bp-2,  0x1.1111111110946p-3,
                             -0x1.ba1ba1b9d119fp-5,  0x1.664f4876ff05dp-6,   -0x1.226e343d4ab27p-7,
                             0x1.d6d3ac196c2fbp-9,   -0x1.7da1c1d5bb71dp-10, 0x1.354aabe3ad25cp-11,
                             -0x1.f4d8bb60ecad9p-13, 0x1.9386d6901b677p-14,  -0x1.3f16484ca08f4p-15,
                             0x1.de54b3b8a3e44p-17,  -0x1.3e3409ecbd1b4p-18, 0x1.534ce0b79b4edp-20,
                             -0x1.f02da278bca1cp-23, 0x1.69edf43a81237p-26};

__attribute__((always_inline)) inline vd SaturateV(vd x) {
  const vd ax = Abs(x);
  if (All(ax <= 1e-8)) return x + 0.0;  // (-0 + 0 is +0, as in the formula)
  const vd x3 = x * x * x;
  const vd x4 = x * x3;
  vd shape;
  if (All(ax <= 0.25)) {
    shape = Fma(x4, Polynomial(x4 * x4, kSinTanh025), -(x3 * Polynomial(x3 * x3, kTanh025)));
  } else if (All(ax <= 0.8)) {
    shape = Fma(x4, Polynomial(x4 * x4, kSinTanh08), -(x3 * Polynomial(x3 * x3, kTanh08)));
  } else if (All(ax <= 1.0)) {
    shape = Fma(x4, Polynomial(x4 * x4, kSinTanh1), -(x3 * Polynomial(x3 * x3, kTanh1)));
  } else {
    shape = (Sin(x4) - Tanh(x3)) + Tanh(x4);
  }
  return x + kSaturateK * shape;
}

void SaturateBlock(const double* x, const double* add, double* out, int n) {
  for (int i = 0; i < n; i += kLanes) {
    const vd y = SaturateV(Load(x + i));
    Store(out + i, add != nullptr ? y + Load(add + i) : y);
  }
}

// Reads exactly n elements: the arrays may be the host's.
uint64_t PeakBits(const double* x, int n) {
  vi peak = Splat64(0);
  int i = 0;
  for (; i + kLanes <= n; i += kLanes) {
    const vi bits = Bits(Load(x + i)) & Splat64(INT64_MAX);
    peak = bits > peak ? bits : peak;
  }
  uint64_t result = 0;
  for (int lane = 0; lane < kLanes; ++lane) result = static_cast<uint64_t>(peak[lane]) > result ? static_cast<uint64_t>(peak[lane]) : result;
  for (; i < n; ++i) {
    uint64_t bits;
    std::memcpy(&bits, x + i, sizeof bits);
    bits &= static_cast<uint64_t>(INT64_MAX);
    result = bits > result ? bits : result;
  }
  return result;
}

// Reads and writes exactly n elements: the inputs may be the host's.
void RoundToSingle2(const double* a, const double* b, double* outA, double* outB, int n) {
  int i = 0;
  for (; i + kLanes <= n; i += kLanes) {
    Store(outA + i, RoundToSingle(Load(a + i)));
    Store(outB + i, RoundToSingle(Load(b + i)));
  }
  for (; i < n; ++i) {
    outA[i] = Single(a[i]);
    outB[i] = Single(b[i]);
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

// Release times of 500 ms and more give exponents of a few thousandths at most, where six
// terms of the series for e^x are exact to double precision (the seventh is below 1e-19).
constexpr double kSmallExponent = 0x1p-9;
constexpr double kExpSeries[] = {1.0, 1.0, 1.0 / 2, 1.0 / 6, 1.0 / 24, 1.0 / 120};

void ReleaseCoefficients(const double* ms, double fs, double* coefs, int n) {
  for (int i = 0; i < n; i += kLanes) {
    const vd u = 1.0 / ((Load(ms + i) * fs) * 0.001);
    const vd x = u * kLnOneHundredth;
    Store(coefs + i, All(Abs(x) <= kSmallExponent) ? Polynomial(x, kExpSeries) : Exp(x));
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
  if (wetR == nullptr) {
    for (int i = 0; i < n; i += kLanes) Store(wetL + i, Load(gb + i) * (Load(ga + i) * Load(colL + i)));
    return;
  }
  for (int i = 0; i < n; i += kLanes) {
    const vd a = Load(ga + i);
    const vd b = Load(gb + i);
    Store(wetL + i, b * (a * Load(colL + i)));
    Store(wetR + i, b * (a * Load(colR + i)));
  }
}

// The factor 2 restores the level lost to the zeros inserted by the interpolation.
void WetOversampled(const double* ga, const double* gb, double* u0, double* u1, int n) {
  for (int i = 0; i < n; i += kLanes) {
    const vd a = Load(ga + i);
    const vd b = Load(gb + i);
    Store(u0 + i, b * (2.0 * (a * Load(u0 + i))));
    Store(u1 + i, b * (2.0 * (a * Load(u1 + i))));
  }
}

void Scale(double* l, double* r, double g, int n) {
  if (r == nullptr) {
    for (int i = 0; i < n; i += kLanes) Store(l + i, g * Load(l + i));
    return;
  }
  for (int i = 0; i < n; i += kLanes) {
    Store(l + i, g * Load(l + i));
    Store(r + i, g * Load(r + i));
  }
}

// Reads and writes exactly n elements: dry and out may be the host's.
void Mix(const double* dry, const double* wet, const double* offset, double dryWeight, double wetWeight, double* out,
         int n) {
  int i = 0;
  for (; i + kLanes <= n; i += kLanes)
    Store(out + i, dryWeight * Load(dry + i) + (Load(wet + i) - Load(offset + i)) * wetWeight);
  for (; i < n; ++i) out[i] = dryWeight * dry[i] + (wet[i] - offset[i]) * wetWeight;
}

// first[j] / second[j]: samples stored by the first / second call of frame j (history before
// index 0). The first call's output has its centre tap 32 frames back on the first calls and
// its odd taps on the second calls; the second call's output the other way round.
// out[j] = 0.5 centre[j - 32] + sum over i of taps[i] (odd[j - near - i] + odd[j - far + i]),
// less the offset. Four vectors of outputs at a time: each sum is one chain of multiply-adds, so
// four independent chains keep the multiply-add units busy.
template <int kNear, int kFar>
inline void HalfbandSums(const double* centre, const double* odd, const double* taps, double offset, double* out,
                         int n) {
  const auto pair = [odd](int k, int i) { return Load(odd + k - kNear - i) + Load(odd + k - kFar + i); };
  int j = 0;
  for (; j + 4 * kLanes <= n; j += 4 * kLanes) {
    vd y0 = 0.5 * Load(centre + j - 32);
    vd y1 = 0.5 * Load(centre + j + kLanes - 32);
    vd y2 = 0.5 * Load(centre + j + 2 * kLanes - 32);
    vd y3 = 0.5 * Load(centre + j + 3 * kLanes - 32);
    for (int i = 0; i < 32; ++i) {
      const vd tap = Splat(taps[i]);
      y0 = Fma(tap, pair(j, i), y0);
      y1 = Fma(tap, pair(j + kLanes, i), y1);
      y2 = Fma(tap, pair(j + 2 * kLanes, i), y2);
      y3 = Fma(tap, pair(j + 3 * kLanes, i), y3);
    }
    Store(out + j, y0 - offset);
    Store(out + j + kLanes, y1 - offset);
    Store(out + j + 2 * kLanes, y2 - offset);
    Store(out + j + 3 * kLanes, y3 - offset);
  }
  for (; j < n; j += kLanes) {
    vd y = 0.5 * Load(centre + j - 32);
    for (int i = 0; i < 32; ++i) y = Fma(Splat(taps[i]), pair(j, i), y);
    Store(out + j, y - offset);
  }
}

void HalfbandFirst(const double* first, const double* second, const double* taps, double offset, double* out,
                   int n) {
  HalfbandSums<1, 64>(first, second, taps, offset, out, n);
}

void HalfbandSecond(const double* first, const double* second, const double* taps, double offset, double* out,
                    int n) {
  HalfbandSums<0, 63>(second, first, taps, offset, out, n);
}

}  // namespace TB_KERNEL_NS

// The table of one set, named after it.
#define TB_KERNEL_TABLE(ns, label)                                                                              \
  ChainKernels {                                                                                                \
    label, ns::kLanes < 4, ns::Colour, ns::DetectorEnvelopes, ns::ReleaseTimes, ns::NeedleRun, ns::SaturateBlock, ns::PeakBits,   \
        ns::RoundToSingle2, ns::DetectorMix, ns::AutoRecovery, ns::ReleaseCoefficients, ns::SectionGains, ns::WetDirect, ns::WetOversampled,         \
        ns::Scale, ns::Mix, ns::HalfbandFirst, ns::HalfbandSecond                                               \
  }
