#include "product/TollenbrookChain.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "product/BiquadType.h"

namespace {

constexpr double kDbPerNeper = 8.685889638065037;  // 20 / ln 10
constexpr double kCompRecoveryMs[4] = {100.0, 400.0, 800.0, 1500.0};
constexpr double kLevelRecoveryMs[4] = {50.0, 100.0, 200.0, 800.0};
constexpr double kCompAttackMs = 10.0;
constexpr double kLimAttackMs = 5.0;
// Inputs up to this magnitude keep every filter state and every product of the chain finite.
constexpr double kOrdinaryLimit = 1e15;
// Needle values and colour-filter states below this are at rest and become 0: a filter state
// this small changes no single-precision sample, and a needle this low is invisible; the zeros
// keep the recursions off subnormal numbers in long silences.
constexpr double kRest = 1e-300;

inline double Single(double x) { return static_cast<double>(static_cast<float>(x)); }

// One step of a ParamSmoother on local copies of its state, with the same rounding and flush.
struct SmootherSteps {
  explicit SmootherSteps(const ParamSmoother& s) : a(s.A()), b(s.B()), z(s.State()) {}
  double Next(double target) const {
    double n = a * z + b * target;
    if (std::fabs(n) < std::numeric_limits<double>::min()) n = 0.0;
    return n;
  }
  double Step(double target) {
    z = Next(target);
    return z;
  }
  // A state that a step leaves where it is stays there for as long as the target does.
  bool Settled(double target) const { return Next(target) == z; }
  double a;
  double b;
  double z;
};

// The automatic recovery time for detector level p: the linear map of 0 .. 1 onto outMin .. outMax.
inline double AutoRecoveryMs(double p, double outMin, double outMax) {
  return (p - 0.0) / (1.0 - 0.0) * (outMax - outMin) + outMin;
}

// Recovery time selected by a parameter value; automatic settings read the detector level p.
inline double RecoveryMs(int32_t index, const double (&table)[4], double p, double current) {
  switch (index) {
    case 0: case 1: case 2: case 3: return table[index];
    case 4: return AutoRecoveryMs(p, 500.0, 5000.0);
    case 5: return AutoRecoveryMs(p, 1000.0, 7000.0);
    default: return current;
  }
}

inline double LargerMagnitude(double a, double b) { return std::max(std::fabs(a), std::fabs(b)); }

bool Bounded(const Biquad& f) {
  const Biquad::Snapshot s = f.Get();
  return std::fabs(s.z1) < kOrdinaryLimit && std::fabs(s.z2) < kOrdinaryLimit;
}

bool AtRest(const Biquad& f) {
  const Biquad::Snapshot s = f.Get();
  return s.z1 == 0.0 && s.z2 == 0.0;
}

void SettleIfTiny(Biquad& f) {
  const Biquad::Snapshot s = f.Get();
  if (std::fabs(s.z1) < kRest && std::fabs(s.z2) < kRest) f.SetState(0.0, 0.0);
}

}  // namespace

TollenbrookChain::TollenbrookChain(const ChainKernels& kernels)
    : mKernels(&kernels), mRate(std::numeric_limits<double>::quiet_NaN()),
      mCompAttack(envFollower::TimeToCoefficient(kCompAttackMs, mCompressor.mSampleRate)),
      mLimAttack(envFollower::TimeToCoefficient(kLimAttackMs, mLimiter.mSampleRate)) {
  alignas(64) double offsets[8] = {1e-15, -1e-15};
  mKernels->saturate(offsets, nullptr, offsets, 2);
  mShapedOffset[0] = offsets[0];
  mShapedOffset[1] = offsets[1];
}

int TollenbrookChain::LatencyFor(const ChainSettings& s) {
  return static_cast<int>(s.oversampleLatency * s.bypassValue);
}

void TollenbrookChain::Reset(double fs, const ChainSettings& s) {
  mCompRecoveryMs = RecoveryMs(s.compRecovery, kCompRecoveryMs, 0.0, mCompRecoveryMs);
  mLevelRecoveryMs = RecoveryMs(s.levelRecovery, kLevelRecoveryMs, 0.0, mLevelRecoveryMs);

  mUpFilterL.Clear();
  mDownFilterL.Clear();
  mUpFilterR.Clear();
  mDownFilterR.Clear();
  mDryDelayL.Rewind();
  mDryDelayR.Rewind();

  mCompressor.Setup(0, kCompAttackMs, 100.0, 0.0, fs);
  mCompressor.mKneeFactor = 2.0;
  mCompressor.mInfiniteRatio = 0;
  mCompressor.mRatio = 1.5;
  mCompressor.mSlope = 0.33333333333333337;
  mCompressor.mGainDb = 0.0;
  mCompressor.mThreshold = 0.0;
  mCompressor.mKneeWidth = -0.0;
  mCompressor.mKneeLow = 0.0;
  mCompressor.mKneeHigh = 0.0;

  mLimiter.Setup(0, kLimAttackMs, 50.0, 0.0, fs);
  mLimiter.mInfiniteRatio = 0;
  mLimiter.mKneeFactor = 0.3;
  mLimiter.mRatio = 1000.0;
  mLimiter.mGainDb = 0.0;
  mLimiter.mThreshold = 0.0;
  mLimiter.mKneeLow = 0.0;
  mLimiter.mKneeHigh = 0.0;
  mLimiter.mKneeWidth = -0.0;
  mLimiter.mSlope = 0.999;
  // The attacks the chain sets on every sample.
  mCompAttack = envFollower::TimeToCoefficient(kCompAttackMs, fs);
  mLimAttack = envFollower::TimeToCoefficient(kLimAttackMs, fs);

  mThresholdSmoother.SetState(s.thresholdTarget);
  mLimitSmoother.SetState(-2.0 * s.limitTarget);
  mCompRecoverySmoother.SetState(mCompRecoveryMs);
  mLevelRecoverySmoother.SetState(mLevelRecoveryMs);
  mGainSmoother.SetState(s.gainTarget);
  mRatioSmoother.SetState(s.ratioTarget);
  mMixSmoother.SetState(s.mixTarget / 22.0);
}

// The smoothers' corner and the needles' coefficient depend on the rate alone.
void TollenbrookChain::SetRate(double fs) {
  if (fs == mRate) return;
  mRate = fs;
  for (ParamSmoother* sm : {&mThresholdSmoother, &mLimitSmoother, &mCompRecoverySmoother, &mLevelRecoverySmoother,
                            &mGainSmoother, &mRatioSmoother, &mMixSmoother})
    sm->SetCutoff(fs);
  mMeterCoef = fs > 0.0 ? std::exp(-4.60517018599 / (0.3 * fs)) : 0.0;
}

void TollenbrookChain::UpdateFilters(double fs, const ChainSettings& s) {
  if (fs == mFilterKey[0] && s.highPassHz == mFilterKey[1] && s.midPeakGain == mFilterKey[2] &&
      s.highShelfGain == mFilterKey[3])
    return;
  mFilterKey = {fs, s.highPassHz, s.midPeakGain, s.highShelfGain};
  ResolvePartialBlocks();  // those inputs ran with the coefficients they had
  mDetHighPass.SetBiquad(kHighpass, s.highPassHz / fs, 0.707, 0.0);
  mDetMidPeak.SetBiquad(kPeak, 1500.0 / fs, 0.207, s.midPeakGain);
  mDetHighShelf.SetBiquad(kHighShelf, s.highPassHz / fs, 0.207, s.highShelfGain);
  mInHighPassL.SetBiquad(kHighpass, 10.0 / fs, 0.8, 0.0);
  mInHighPassR.SetBiquad(kHighpass, 10.0 / fs, 0.8, 0.0);
  mInPeakL.SetBiquad(kPeak, 1500.0 / fs, 0.107, 0.3);
  mInPeakR.SetBiquad(kPeak, 1500.0 / fs, 0.107, 0.3);
  mInHighPassBlock = BlockFormOf(mInHighPassL.Get());
  mInPeakBlock = BlockFormOf(mInPeakL.Get());
  mDetHighPassBlock = BlockFormOf(mDetHighPass.Get());
  mDetMidPeakBlock = BlockFormOf(mDetMidPeak.Get());
  mDetHighShelfBlock = BlockFormOf(mDetHighShelf.Get());
}

void TollenbrookChain::ResolvePartialBlocks() {
  mInHighPassPartial[0].Resolve(mInHighPassL);
  mInHighPassPartial[1].Resolve(mInHighPassR);
  mInPeakPartial[0].Resolve(mInPeakL);
  mInPeakPartial[1].Resolve(mInPeakR);
  mDetPartial[0].Resolve(mDetHighPass);
  mDetPartial[1].Resolve(mDetMidPeak);
  mDetPartial[2].Resolve(mDetHighShelf);
}

void TollenbrookChain::Process(const double* const* in, double* const* out, int nFrames, double fs,
                               const ChainSettings& s) {
  SetRate(fs);
  mMix = s.mixTarget / 22.0;
  UpdateFilters(fs, s);

  mStats.compMinGainDb = 0.0;
  mStats.limiterMinGainDb = 0.0;
  mHandOverDue = true;
  if (mPendingNeedles == 0) HandOverNeedles();
  for (int pos = 0; pos < nFrames; pos += kChunk) {
    const int n = std::min(kChunk, nFrames - pos);
    const double* chunkIn[kInputs] = {in[0] + pos, in[1] + pos, in[2] + pos, in[3] + pos};
    double* chunkOut[kOutputs] = {out[0] + pos, out[1] + pos};
    ProcessChunk(chunkIn, chunkOut, n, s);
  }
  if (mHandOverDue) TakeNeedles();  // a block of no frames
}

void TollenbrookChain::ProcessChunk(const double* const* in, double* const* out, int n, const ChainSettings& s) {
  const ChunkInputs inputs = Inspect(in, n, s.extSidechain);
  Offsets(n);
  ColourStage(in[0], in[1], n, inputs, s);
  DetectorStage(in[2], in[3], n, s.extSidechain, inputs);
  RecoveryTimes(n, s, inputs.ordinary);
  CompressorSettings(n, s);
  LimiterSettings(n, s);
  DetectorAndEnvelopes(n, inputs.ordinary);
  Gains(n);
  WetSignal(n, s);
  OutputGain(n, s);
  Output(in[0], in[1], out[0], out[1], n, s);
  Meters(n, s.bypassValue);
}

void TollenbrookChain::FillChunk(double* a, int n, double v) {
  for (int i = 0; i < n; i += 8)
    for (int k = 0; k < 8; ++k) a[i + k] = v;
}

void TollenbrookChain::Pad(Scratch& a, int n) {
  const int end = (n + 7) & ~7;
  for (int i = n; i < end; ++i) a[static_cast<size_t>(i)] = a[static_cast<size_t>(n - 1)];
}

TollenbrookChain::ChunkInputs TollenbrookChain::Inspect(const double* const* in, int n, int32_t ext) {
  const uint64_t peakL = mKernels->peakBits(in[0], n);
  const uint64_t peakR = mKernels->peakBits(in[1], n);
  uint64_t peak = std::max(peakL, peakR);
  ChunkInputs inputs{};
  if (ext == 1) {
    const uint64_t keyL = mKernels->peakBits(in[2], n);
    const uint64_t keyR = mKernels->peakBits(in[3], n);
    inputs.keySilent[0] = keyL == 0;
    inputs.keySilent[1] = keyR == 0;
    peak = std::max({peak, keyL, keyR});
  }
  // The bits of non-negative doubles sort as their values; NaN sorts above infinity. Filter
  // states that an earlier extraordinary chunk left huge count as well: they could still
  // overflow single precision on their way out.
  inputs.ordinary = peak < std::bit_cast<uint64_t>(kOrdinaryLimit) &&
                    std::all_of(std::begin(mFilters), std::end(mFilters), [](const Biquad* f) { return Bounded(*f); });
  inputs.silent[0] = peakL == 0 && AtRest(mInHighPassL) && AtRest(mInPeakL) && mInHighPassPartial[0].Quiet() &&
                     mInPeakPartial[0].Quiet();
  inputs.silent[1] = peakR == 0 && AtRest(mInHighPassR) && AtRest(mInPeakR) && mInHighPassPartial[1].Quiet() &&
                     mInPeakPartial[1].Quiet();
  return inputs;
}

namespace {
// The offsets of a chunk alternate in sign from sample to sample; a chunk starts with either
// sign, so both sequences are kept once for every instance.
struct AlternatingOffsets {
  alignas(64) double startingUp[TollenbrookChain::kChunk + 8];
  alignas(64) double startingDown[TollenbrookChain::kChunk + 8];
};
constexpr AlternatingOffsets MakeAlternatingOffsets() {
  AlternatingOffsets o{};
  for (int i = 0; i < TollenbrookChain::kChunk + 8; ++i) {
    o.startingUp[i] = i % 2 == 0 ? 1e-15 : -1e-15;
    o.startingDown[i] = -o.startingUp[i];
  }
  return o;
}
constexpr AlternatingOffsets kOffsets = MakeAlternatingOffsets();
}  // namespace

// The offset flips its sign on every sample, the first sample of the chunk included.
void TollenbrookChain::Offsets(int n) {
  mOffset = mDenormalOffset > 0.0 ? kOffsets.startingDown : kOffsets.startingUp;
  if (n % 2 != 0) mDenormalOffset = -mDenormalOffset;
}

// Input high-pass and peak per channel with single-precision roundings between the stages,
// then the waveshaper plus the chain offset of each sample. A channel at rest colours to the
// offset alone: its filters keep their zero state and shape zeros to zeros.
void TollenbrookChain::ColourStage(const double* inL, const double* inR, int n, const ChunkInputs& inputs,
                                   const ChainSettings& s) {
  ColourFilters(inL, inR, n, inputs);
  Scratch* colour[2] = {&mColL, &mColR};
  for (int c = 0; c < 2; ++c) {
    Scratch& col = *colour[c];
    if (c == 1 && inputs.silent[1] && Unheard(s)) continue;  // only the right wet signal reads it
    if (inputs.silent[c]) {
      std::copy_n(mOffset, n, col.begin());
      Pad(col, n);
    } else {
      Pad(col, n);
      mKernels->saturate(col.data(), mOffset, col.data(), n);
    }
  }
}

void TollenbrookChain::ColourFilters(const double* inL, const double* inR, int n, const ChunkInputs& inputs) {
  if (!inputs.ordinary) {
    mInHighPassPartial[0].Resolve(mInHighPassL);
    mInHighPassPartial[1].Resolve(mInHighPassR);
    mInPeakPartial[0].Resolve(mInPeakL);
    mInPeakPartial[1].Resolve(mInPeakR);
    for (int i = 0; i < n; ++i) {
      mColL[static_cast<size_t>(i)] = Single(mInPeakL.Process(Single(mInHighPassL.Process(Single(inL[i])))));
      mColR[static_cast<size_t>(i)] = Single(mInPeakR.Process(Single(mInHighPassR.Process(Single(inR[i])))));
    }
  } else if (!inputs.silent[0] && !inputs.silent[1]) {
    mKernels->roundToSingle2(inL, inR, mColL.data(), mColR.data(), n);
    ColourSections s{{mInHighPassL.Get(), mInHighPassR.Get()},
                     {mInPeakL.Get(), mInPeakR.Get()},
                     &mInHighPassBlock,
                     &mInPeakBlock,
                     {&mInHighPassPartial[0], &mInHighPassPartial[1]},
                     {&mInPeakPartial[0], &mInPeakPartial[1]}};
    Needles needles = PendingNeedles();
    mKernels->colour(mColL.data(), mColR.data(), s, mColL.data(), mColR.data(), n, 2, needles);
    SettleNeedles(needles);
    mInHighPassL.SetState(s.highPass[0].z1, s.highPass[0].z2);
    mInHighPassR.SetState(s.highPass[1].z1, s.highPass[1].z2);
    mInPeakL.SetState(s.peak[0].z1, s.peak[0].z2);
    mInPeakR.SetState(s.peak[1].z1, s.peak[1].z2);
  } else if (!inputs.silent[0] || !inputs.silent[1]) {
    const bool left = !inputs.silent[0];
    Biquad& highPass = left ? mInHighPassL : mInHighPassR;
    Biquad& peak = left ? mInPeakL : mInPeakR;
    double* x = left ? mColL.data() : mColR.data();
    mKernels->roundToSingle2(left ? inL : inR, left ? inL : inR, x, x, n);
    const int c = left ? 0 : 1;
    ColourSections s{{highPass.Get(), {}},         {peak.Get(), {}}, &mInHighPassBlock, &mInPeakBlock,
                     {&mInHighPassPartial[c], nullptr}, {&mInPeakPartial[c], nullptr}};
    Needles needles = PendingNeedles();
    mKernels->colour(x, nullptr, s, x, nullptr, n, 1, needles);
    SettleNeedles(needles);
    highPass.SetState(s.highPass[0].z1, s.highPass[0].z2);
    peak.SetState(s.peak[0].z1, s.peak[0].z2);
  }
  // A channel at rest stays at rest; only its place in the blocks of eight moves on.
  for (int c = 0; c < 2; ++c)
    if (inputs.ordinary && inputs.silent[c]) {
      mInHighPassPartial[c].SkipZeros(n);
      mInPeakPartial[c].SkipZeros(n);
    }
  for (Biquad* f : {&mInHighPassL, &mInHighPassR, &mInPeakL, &mInPeakR}) SettleIfTiny(*f);
}

void TollenbrookChain::DetectorStage(const double* scL, const double* scR, int n, int32_t ext,
                                     const ChunkInputs& inputs) {
  Scratch* detector[2] = {&mDetLs, &mDetRs};
  const Scratch* colour[2] = {&mColL, &mColR};
  const double* key[2] = {scL, scR};
  for (int c = 0; c < 2; ++c) {
    Scratch& det = *detector[c];
    // A channel at rest, or a silent key, shapes the offset alone.
    const bool offsetOnly = (ext == 0 && inputs.silent[c]) || (ext == 1 && inputs.keySilent[c]);
    if (offsetOnly && mShapedOffset[0] == 1e-15 && mShapedOffset[1] == -1e-15) {
      std::copy_n(mOffset, n, det.begin());  // the waveshaper leaves values this small as they are
    } else if (offsetOnly) {
      for (int i = 0; i < n; ++i)
        det[static_cast<size_t>(i)] = mOffset[i] > 0.0 ? mShapedOffset[0] : mShapedOffset[1];
    } else if (ext == 0) {
      mKernels->saturate(colour[c]->data(), nullptr, det.data(), n);
    } else if (ext == 1) {
      for (int i = 0; i < n; ++i) det[static_cast<size_t>(i)] = mOffset[i] + key[c][i];
      Pad(det, n);
      mKernels->saturate(det.data(), nullptr, det.data(), n);
    } else {
      // Any other value keeps the detector signals of the last sample.
      std::fill_n(det.begin(), n, c == 0 ? mDetL : mDetR);
    }
  }
  mDetL = mDetLs[static_cast<size_t>(n - 1)];
  mDetR = mDetRs[static_cast<size_t>(n - 1)];
}

void TollenbrookChain::RecoveryTimes(int n, const ChainSettings& s, bool ordinary) {
  const bool compAuto = s.compRecovery == 4 || s.compRecovery == 5;
  const bool levelAuto = s.levelRecovery == 4 || s.levelRecovery == 5;
  if (compAuto || levelAuto) {
    const double compMin = s.compRecovery == 4 ? 500.0 : 1000.0;
    const double compMax = s.compRecovery == 4 ? 5000.0 : 7000.0;
    const double levelMin = s.levelRecovery == 4 ? 500.0 : 1000.0;
    const double levelMax = s.levelRecovery == 4 ? 5000.0 : 7000.0;
    Pad(mDetLs, n);
    Pad(mDetRs, n);
    mKernels->autoRecovery(mDetLs.data(), mDetRs.data(), mCompRelease.data(), mLimRelease.data(), n, compMin,
                           compMax, levelMin, levelMax);
  }
  const double pLast = LargerMagnitude(mDetLs[static_cast<size_t>(n - 1)], mDetRs[static_cast<size_t>(n - 1)]);

  const double compConst = RecoveryMs(s.compRecovery, kCompRecoveryMs, pLast, mCompRecoveryMs);
  const double levelConst = RecoveryMs(s.levelRecovery, kLevelRecoveryMs, pLast, mLevelRecoveryMs);
  if (!(ordinary && ReleaseSequencesTogether(compConst, levelConst, compAuto, levelAuto, n))) {
    ReleaseSequence(mCompRecoverySmoother, mCompressor, compAuto ? mCompRelease.data() : nullptr, compConst,
                    mCompRelease.data(), n);
    ReleaseSequence(mLevelRecoverySmoother, mLimiter, levelAuto ? mLimRelease.data() : nullptr, levelConst,
                    mLimRelease.data(), n);
  }
  mCompRecoveryMs = compConst;
  mLevelRecoveryMs = levelConst;
}

// Both release smoothers side by side, when both step on every sample and both stay well above
// 1 ms, where the recipe's flush and its comparison with a coefficient (below 1) never act:
// then every sample takes exactly two steps.
bool TollenbrookChain::ReleaseSequencesTogether(double compConst, double levelConst, bool compAuto, bool levelAuto,
                                                int n) {
  const SmootherSteps comp(mCompRecoverySmoother);
  const SmootherSteps level(mLevelRecoverySmoother);
  if ((!compAuto && comp.Settled(compConst)) || (!levelAuto && level.Settled(levelConst))) return false;
  const auto wellAbove = [](const SmootherSteps& sm, bool automatic, double target) {
    return sm.z >= 2.0 && (automatic || target >= 2.0);
  };
  const auto usual = [](const compressor& c) { return c.mSampleRate > 0.0 && c.mReleaseCoef <= 1.0; };
  if (!wellAbove(comp, compAuto, compConst) || !wellAbove(level, levelAuto, levelConst) || !usual(mCompressor) ||
      !usual(mLimiter) || comp.a != level.a || comp.b != level.b)
    return false;
  if (!compAuto) std::fill_n(mCompRelease.begin(), n, compConst);
  if (!levelAuto) std::fill_n(mLimRelease.begin(), n, levelConst);
  double z[2] = {comp.z, level.z};
  mKernels->releaseTimes(mCompRelease.data(), mLimRelease.data(), comp.a, comp.b, z, mStepA.data(), mStepB.data(),
                         n);
  mCompRecoverySmoother.SetState(z[0]);
  mLevelRecoverySmoother.SetState(z[1]);
  ReleaseCoefficients(mCompressor, mStepA, mCompRelease.data(), n);
  ReleaseCoefficients(mLimiter, mStepB, mLimRelease.data(), n);
  return true;
}

// The release smoother steps twice per sample (once when its first step equals the section's
// current release coefficient), and the section's release is set from the result. Fills
// coefficients[i] with the release coefficient the envelope uses at sample i, which is the one
// set after the previous sample. targets may be the same array as coefficients.
void TollenbrookChain::ReleaseSequence(ParamSmoother& smoother, compressor& section, const double* targets,
                                       double constantTarget, double* coefficients, int n) {
  SmootherSteps sm(smoother);
  const double fs = section.mSampleRate;
  // A settled smoother above 1 ms yields the same release time every sample: the first step
  // cannot equal a coefficient below 1, the second step returns the same value.
  if (targets == nullptr && sm.Settled(constantTarget) && sm.z > 1.0 && fs > 0.0 && section.mReleaseCoef <= 1.0) {
    const double coef = (&section == &mCompressor ? mCompReleaseCache : mLimReleaseCache).Of(sm.z, fs);
    FillChunk(coefficients, n, coef);
    coefficients[0] = section.mReleaseCoef;
    section.mReleaseCoef = coef;
    return;
  }
  Scratch& times = mStepA;
  double previous = 0.0;
  for (int i = 0; i < n; ++i) {
    const double target = targets != nullptr ? targets[i] : constantTarget;
    double r = sm.Step(target);
    bool equal;
    if (i == 0)
      equal = r == section.mReleaseCoef;
    else if (r > 1.0 && previous > 0.0 && fs > 0.0)
      equal = false;  // the current coefficient lies below 1
    else
      equal = r == envFollower::TimeToCoefficient(previous, fs);
    if (!equal) r = sm.Step(target);
    times[static_cast<size_t>(i)] = r;
    previous = r;
  }
  smoother.SetState(sm.z);
  ReleaseCoefficients(section, times, coefficients, n);
}

double TollenbrookChain::CoefficientCache::Of(double ms, double fs) {
  if (ms != mMs || fs != mFs) {
    mMs = ms;
    mFs = fs;
    mCoef = envFollower::TimeToCoefficient(ms, fs);
  }
  return mCoef;
}

// Coefficient of each release time, 0.01^(1 / (ms fs / 1000)), shifted by one sample: the
// envelope at sample i uses the release set after sample i - 1. times becomes scratch.
void TollenbrookChain::ReleaseCoefficients(compressor& section, Scratch& times, double* coefficients, int n) {
  const double fs = section.mSampleRate;
  coefficients[0] = section.mReleaseCoef;
  bool constant = true;
  for (int i = 1; i < n; ++i) constant = constant && times[static_cast<size_t>(i)] == times[0];
  if (constant) {
    const double coef = (&section == &mCompressor ? mCompReleaseCache : mLimReleaseCache).Of(times[0], fs);
    FillChunk(coefficients + 1, n - 1, coef);
    section.mReleaseCoef = coef;
    return;
  }
  Pad(times, n);
  mKernels->releaseCoefficients(times.data(), fs, times.data(), n);
  std::copy_n(times.begin(), n - 1, coefficients + 1);
  section.mReleaseCoef = times[static_cast<size_t>(n - 1)];
}

namespace {
// Largest envelope that is certainly below the point where a section starts to act (the lower
// knee edge, or the threshold without a knee), so its gain is exactly 0 dB without taking the
// logarithm. The margin of 1e-9 dwarfs the rounding of the logarithm. 0 when no such shortcut
// is safe.
double QuietBound(double threshold, double kneeWidth, double kneeLow, double slope) {
  if (!(slope >= 0.0)) return 0.0;
  const double edge = kneeWidth > 0.0 ? kneeLow : threshold;
  if (!(edge <= threshold)) return 0.0;
  const double bound = std::exp(edge / kDbPerNeper) * (1.0 - 1e-9);
  return bound >= 0.0 ? bound : 0.0;
}
}  // namespace

// The gain computer works with the settings as they were before the sample's own updates.
void TollenbrookChain::SectionParams::Record(int i, const compressor& c) {
  const auto k = static_cast<size_t>(i);
  threshold[k] = c.mThreshold;
  kneeWidth[k] = c.mKneeWidth;
  kneeLow[k] = c.mKneeLow;
  kneeHigh[k] = c.mKneeHigh;
  slope[k] = c.mInfiniteRatio != 0 ? 1.0 : 1.0 - 1.0 / c.mRatio;
}

SectionParamsView TollenbrookChain::SectionParams::View() {
  if (constant) {
    if (!(threshold[0] == boundKey[0] && kneeWidth[0] == boundKey[1] && kneeLow[0] == boundKey[2] &&
          slope[0] == boundKey[3])) {
      boundKey = {threshold[0], kneeWidth[0], kneeLow[0], slope[0]};
      bound = QuietBound(boundKey[0], boundKey[1], boundKey[2], boundKey[3]);
    }
  }
  return {threshold.data(), kneeWidth.data(), kneeLow.data(), kneeHigh.data(), slope.data(), constant,
          constant ? bound : 0.0};
}

// Ratio, threshold and knee of the compressor after each sample. While the smoothers rest on
// the values the section already has, nothing changes and one set of values serves the chunk.
void TollenbrookChain::CompressorSettings(int n, const ChainSettings& s) {
  compressor& c = mCompressor;
  mCompParams.Record(0, c);
  const SmootherSteps ratio(mRatioSmoother);
  const SmootherSteps threshold(mThresholdSmoother);
  mCompParams.constant = c.mInfiniteRatio == 0 && c.mKneeFactor == s.kneeFactorTarget &&
                        ratio.Settled(s.ratioTarget) && ratio.z == c.mRatio &&
                        threshold.Settled(s.thresholdTarget) && threshold.z == c.mThreshold;
  if (mCompParams.constant) {
    if (n > 0) c.mSlope = 1.0 - 1.0 / c.mRatio;
    return;
  }
  for (int i = 0; i < n; ++i) {
    double q = mRatioSmoother.Process(s.ratioTarget);
    if (q != c.mRatio) {
      q = mRatioSmoother.Process(s.ratioTarget);
      c.SetRatio(q);
    }
    double t = mThresholdSmoother.Process(s.thresholdTarget);
    if (t != c.mThreshold) {
      t = mThresholdSmoother.Process(s.thresholdTarget);
      c.SetThreshold(t);
    }
    if (c.mKneeFactor != s.kneeFactorTarget) c.SetKneeFactor(s.kneeFactorTarget);
    c.mInfiniteRatio = 0;
    c.mSlope = 1.0 - 1.0 / c.mRatio;
    mCompParams.Record(i + 1, c);
  }
}

// The limiter keeps ratio 1000 and knee factor 0.3; only its threshold glides.
void TollenbrookChain::LimiterSettings(int n, const ChainSettings& s) {
  compressor& l = mLimiter;
  const double target = -2.0 * s.limitTarget;
  mLimParams.Record(0, l);
  const SmootherSteps threshold(mLimitSmoother);
  mLimParams.constant = l.mInfiniteRatio == 0 && l.mRatio == 1000.0 && l.mKneeFactor == 0.3 &&
                       threshold.Settled(target) && threshold.z == l.mThreshold;
  if (mLimParams.constant) {
    if (n > 0) l.mSlope = 1.0 - 1.0 / l.mRatio;
    return;
  }
  for (int i = 0; i < n; ++i) {
    if (l.mRatio != 1000.0) l.SetRatio(1000.0);
    double t = mLimitSmoother.Process(target);
    if (t != l.mThreshold) {
      t = mLimitSmoother.Process(target);
      l.SetThreshold(t);
    }
    if (l.mKneeFactor != 0.3) l.SetKneeFactor(0.3);
    l.mInfiniteRatio = 0;
    l.mSlope = 1.0 - 1.0 / l.mRatio;
    mLimParams.Record(i + 1, l);
  }
}

namespace {
// Peak envelope of one section over a chunk, sample by sample. The first sample runs with the
// attack, hold and release the section had; after it the attack is the fixed one the chain
// sets every sample and the hold is 0, so only attack and release remain.
struct EnvelopeRun {
  EnvelopeRun(compressor& c, double fixed) : section(c), env(c.mEnvelope), attack(c.mAttackCoef), fixedAttack(fixed) {}

  double First(double x, double release) {
    double v = std::fabs(x);
    if (!std::isfinite(v)) v = 0.0;
    if (v > env) {
      env = (env - v) * attack + v;
      section.mHoldCount = 0;
    } else if (section.mHoldCount < section.mHoldSamples) {
      ++section.mHoldCount;
    } else {
      env = (env - v) * release + v;
    }
    return env;
  }
  double Next(double x, double release) {
    double v = std::fabs(x);
    if (!std::isfinite(v)) v = 0.0;
    const bool rising = v > env;
    attacked = attacked || rising;
    env = (env - v) * (rising ? fixedAttack : release) + v;
    return env;
  }
  void Finish() {
    section.mEnvelope = env;
    section.mAttackCoef = fixedAttack;
    section.mHoldSamples = envFollower::HoldToSamples(0.0, section.mSampleRate);
    if (attacked) section.mHoldCount = 0;
  }

  compressor& section;
  double env;
  double attack;
  double fixedAttack;
  bool attacked = false;
};
}  // namespace

// The compressor listens to the mono average through high-pass, mid peak and high shelf, each
// rounded to single precision; the limiter to the larger signed detector value's magnitude.
// The envelopes land in the gain arrays, which the gain computer then turns into gains.
void TollenbrookChain::DetectorAndEnvelopes(int n, bool ordinary) {
  const auto usual = [](const compressor& c, double attack) {
    return c.mAttackCoef == attack && c.mHoldSamples == 0 && c.mHoldCount == 0;
  };
  if (!ordinary || !usual(mCompressor, mCompAttack) || !usual(mLimiter, mLimAttack)) {
    TakeNeedles();  // their gains are about to be overwritten
    mDetPartial[0].Resolve(mDetHighPass);
    mDetPartial[1].Resolve(mDetMidPeak);
    mDetPartial[2].Resolve(mDetHighShelf);
    DetectorAndEnvelopesPerSample(n);
    return;
  }
  DetectorSections s{mDetHighPass.Get(),
                     mDetMidPeak.Get(),
                     mDetHighShelf.Get(),
                     {mCompressor.mEnvelope, mLimiter.mEnvelope},
                     {mCompAttack, mLimAttack},
                     &mDetHighPassBlock,
                     &mDetMidPeakBlock,
                     &mDetHighShelfBlock,
                     {&mDetPartial[0], &mDetPartial[1], &mDetPartial[2]}};
  Pad(mDetLs, n);
  Pad(mDetRs, n);
  mKernels->detectorMix(mDetLs.data(), mDetRs.data(), mWetLs.data(), mWetRs.data(), n);
  Needles needles = PendingNeedles();
  mKernels->detectorEnvelopes(mWetLs.data(), mWetRs.data(), s, mCompRelease.data(), mLimRelease.data(),
                              mGainA.data(), mGainB.data(), n, needles);
  SettleNeedles(needles);
  mDetHighPass.SetState(s.highPass.z1, s.highPass.z2);
  mDetMidPeak.SetState(s.midPeak.z1, s.midPeak.z2);
  mDetHighShelf.SetState(s.highShelf.z1, s.highShelf.z2);
  mCompressor.mEnvelope = s.envelope[0];
  mLimiter.mEnvelope = s.envelope[1];
}

void TollenbrookChain::DetectorAndEnvelopesPerSample(int n) {
  EnvelopeRun comp(mCompressor, mCompAttack);
  EnvelopeRun lim(mLimiter, mLimAttack);
  for (int i = 0; i < n; ++i) {
    const auto k = static_cast<size_t>(i);
    double c = Single(0.5 * (mDetLs[k] + mDetRs[k]));
    c = Single(mDetHighShelf.Process(Single(mDetMidPeak.Process(Single(mDetHighPass.Process(c))))));
    const double v = std::fabs(std::max(mDetLs[k], mDetRs[k]));
    mGainA[k] = i == 0 ? comp.First(c, mCompRelease[k]) : comp.Next(c, mCompRelease[k]);
    mGainB[k] = i == 0 ? lim.First(v, mLimRelease[k]) : lim.Next(v, mLimRelease[k]);
  }
  comp.Finish();
  lim.Finish();
}

void TollenbrookChain::Gains(int n) {
  Pad(mGainA, n);
  Pad(mGainB, n);
  const double compDeepest =
      mKernels->sectionGains(mGainA.data(), mCompParams.View(), n, mGainA.data(), &mCompressor.mGainDb);
  const double limDeepest =
      mKernels->sectionGains(mGainB.data(), mLimParams.View(), n, mGainB.data(), &mLimiter.mGainDb);
  mStats.compMinGainDb = std::min(mStats.compMinGainDb, compDeepest);
  mStats.limiterMinGainDb = std::min(mStats.limiterMinGainDb, limDeepest);
}

// Both gains act on the coloured signal, either directly or between the interpolation and
// decimation filters, where the factor 2 restores the level lost to the inserted zeros.
void TollenbrookChain::WetSignal(int n, const ChainSettings& s) {
  const int32_t count = s.oversampleCount;
  const bool right = !Unheard(s);
  if (count == 0) {
    mKernels->wetDirect(mGainA.data(), mGainB.data(), mColL.data(), right ? mColR.data() : nullptr, mWetLs.data(),
                        right ? mWetRs.data() : nullptr, n);
  } else if (count == 2) {
    const auto oversampled = [&](HalfbandBlockFilter& up, HalfbandBlockFilter& down, const Scratch& col,
                                 Scratch& wet) {
      up.Upsample(col.data(), mUp0.data(), mUp1.data(), n);
      mKernels->wetOversampled(mGainA.data(), mGainB.data(), mUp0.data(), mUp1.data(), n);
      down.Downsample(mUp0.data(), mUp1.data(), wet.data(), n);
    };
    oversampled(mUpFilterL, mDownFilterL, mColL, mWetLs);
    oversampled(mUpFilterR, mDownFilterR, mColR, mWetRs);
  } else {
    std::fill_n(mWetLs.begin(), n, mWetL);
    std::fill_n(mWetRs.begin(), n, mWetR);
  }
  mWetL = mWetLs[static_cast<size_t>(n - 1)];
  if (right) mWetR = mWetRs[static_cast<size_t>(n - 1)];  // otherwise mWetRs holds no wet signal
}

// The gain smoother steps once per channel, left first.
void TollenbrookChain::OutputGain(int n, const ChainSettings& s) {
  SmootherSteps gain(mGainSmoother);
  if (gain.Settled(s.gainTarget)) {
    mKernels->scale(mWetLs.data(), Unheard(s) ? nullptr : mWetRs.data(), gain.z, n);
    return;
  }
  for (int i = 0; i < n; ++i) {
    mWetLs[static_cast<size_t>(i)] = gain.Step(s.gainTarget) * mWetLs[static_cast<size_t>(i)];
    mWetRs[static_cast<size_t>(i)] = gain.Step(s.gainTarget) * mWetRs[static_cast<size_t>(i)];
  }
  mGainSmoother.SetState(gain.z);
}

// The dry signal is the raw input, or the input 64 frames late while oversampling (the delays
// run whether or not the plug-in is switched in). Switched in, the mix smoother steps four
// times per frame: the dry weight of each channel is one step ahead of its wet weight.
void TollenbrookChain::Output(const double* inL, const double* inR, double* outL, double* outR, int n,
                              const ChainSettings& s) {
  const double* dryL = inL;
  const double* dryR = inR;
  if (s.oversampleCount == 2) {
    mDryDelayL.Process(inL, mDryLs.data(), n);
    mDryDelayR.Process(inR, mDryRs.data(), n);
  }
  if (s.oversampleCount != 0) {
    if (s.oversampleCount != 2) {
      std::fill_n(mDryLs.begin(), n, mDryL);
      std::fill_n(mDryRs.begin(), n, mDryR);
    }
    dryL = mDryLs.data();
    dryR = mDryRs.data();
  }
  mDryL = dryL[n - 1];
  mDryR = dryR[n - 1];

  if (s.bypassValue == 0.0) {
    for (int i = 0; i < n; ++i) outL[i] = inL[i] - mOffset[i];
    if (s.rightHeard)
      for (int i = 0; i < n; ++i) outR[i] = inR[i] - mOffset[i];
    return;
  }
  if (s.bypassValue != 1.0) return;
  SmootherSteps mix(mMixSmoother);
  if (mix.Settled(mMix)) {
    const double w = mix.z;
    mKernels->mix(dryL, mWetLs.data(), mOffset, 1.0 - w, w, outL, n);
    if (s.rightHeard) mKernels->mix(dryR, mWetRs.data(), mOffset, 1.0 - w, w, outR, n);
    return;
  }
  for (int i = 0; i < n; ++i) {
    const auto k = static_cast<size_t>(i);
    const double m1 = mix.Step(mMix);
    const double m2 = mix.Step(mMix);
    const double m3 = mix.Step(mMix);
    const double m4 = mix.Step(mMix);
    outL[i] = (1.0 - m2) * dryL[i] + (mWetLs[k] - mOffset[i]) * m1;
    outR[i] = (1.0 - m4) * dryR[i] + (mWetRs[k] - mOffset[i]) * m3;
  }
  mMixSmoother.SetState(mix.z);
}

// The needles follow the gains of a chunk switched in during the next chunk's colour loop or
// envelope loop (the next block's, for a block's last chunk): their recursion then overlaps the
// filters' or the envelopes'. Until then the gains stay in mGainA and mGainB, which the next
// chunk overwrites only in its envelope stage.
Needles TollenbrookChain::PendingNeedles() const {
  return {mGainB.data(), mGainA.data(), mPendingNeedles, {mLimiterMeter.State(), mCompMeter.State()}, mMeterCoef};
}

void TollenbrookChain::SettleNeedles(const Needles& needles) {
  if (needles.count != 0) return;  // a loop that leaves them waiting
  double state[2] = {needles.state[0], needles.state[1]};
  for (double& needle : state)
    if (std::fabs(needle) < kRest) needle = 0.0;
  mLimiterMeter.SetState(state[0]);
  mCompMeter.SetState(state[1]);
  mPendingNeedles = 0;
  if (mHandOverDue) HandOverNeedles();
}

// The first needle values a block settles are those after the previous block's last frame.
void TollenbrookChain::HandOverNeedles() {
  mStats.limiterMeter = mLimiterMeter.State();
  mStats.compMeter = mCompMeter.State();
  mHandOverDue = false;
}

void TollenbrookChain::TakeNeedles() {
  if (mPendingNeedles == 0) return;
  Needles needles = PendingNeedles();
  mKernels->needles(needles);
  SettleNeedles(needles);
}

void TollenbrookChain::Meters(int n, double bypass) {
  if (bypass == 1.0) {
    mPendingNeedles = n;
    mLimiterMeterInput = 1.0 - mGainB[static_cast<size_t>(n - 1)];
    mCompMeterInput = 1.0 - mGainA[static_cast<size_t>(n - 1)];
    return;
  }
  TakeNeedles();
  if (bypass == 0.0) {
    mLimiterMeterInput = 0.0;
    mCompMeterInput = 0.0;
  }
  // MeterBallistics::Process with the block's coefficient and an input that does not change.
  const double inputs[2] = {mLimiterMeterInput, mCompMeterInput};
  double state[2] = {mLimiterMeter.State(), mCompMeter.State()};
  for (int k = 0; k < 2; ++k) {
    double v = std::fabs(inputs[k]);
    if (!std::isfinite(v)) v = 0.0;
    for (int i = 0; i < n; ++i) {
      const double aim = v > state[k] ? v * 1.0125 : v * 0.9875;
      state[k] = (state[k] - aim) * mMeterCoef + aim;
    }
  }
  SettleNeedles({nullptr, nullptr, 0, {state[0], state[1]}, mMeterCoef});
}
