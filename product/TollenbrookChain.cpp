#include "product/TollenbrookChain.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "product/BiquadType.h"
#include "product/SimdMath.h"

using namespace simd;

namespace {

constexpr double kDbPerNeper = 8.685889638065037;  // 20 / ln 10
constexpr double kCompRecoveryMs[4] = {100.0, 400.0, 800.0, 1500.0};
constexpr double kLevelRecoveryMs[4] = {50.0, 100.0, 200.0, 800.0};

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

// The range map of the automatic recovery times, as RangeMap computes it for input 0 to 1.
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

}  // namespace

TollenbrookChain::TollenbrookChain(const ChainKernels& kernels) : mKernels(&kernels) {}

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

  mCompressor.Setup(0, 10.0, 100.0, 0.0, fs);
  mCompressor.mKneeFactor = 2.0;
  mCompressor.mInfiniteRatio = 0;
  mCompressor.mRatio = 1.5;
  mCompressor.mSlope = 0.33333333333333337;
  mCompressor.mGainDb = 0.0;
  mCompressor.mThreshold = 0.0;
  mCompressor.mKneeWidth = -0.0;
  mCompressor.mKneeLow = 0.0;
  mCompressor.mKneeHigh = 0.0;

  mLimiter.Setup(0, 5.0, 50.0, 0.0, fs);
  mLimiter.mInfiniteRatio = 0;
  mLimiter.mKneeFactor = 0.3;
  mLimiter.mRatio = 1000.0;
  mLimiter.mGainDb = 0.0;
  mLimiter.mThreshold = 0.0;
  mLimiter.mKneeLow = 0.0;
  mLimiter.mKneeHigh = 0.0;
  mLimiter.mKneeWidth = -0.0;
  mLimiter.mSlope = 0.999;

  mThresholdSmoother.SetState(s.thresholdTarget);
  mLimitSmoother.SetState(-2.0 * s.limitTarget);
  mCompRecoverySmoother.SetState(mCompRecoveryMs);
  mLevelRecoverySmoother.SetState(mLevelRecoveryMs);
  mGainSmoother.SetState(s.gainTarget);
  mRatioSmoother.SetState(s.ratioTarget);
  mMixSmoother.SetState(s.mixTarget / 22.0);
}

void TollenbrookChain::UpdateFilters(double fs, const ChainSettings& s) {
  const std::array<double, 5> key{fs, s.highPassHz, s.midPeakGain, s.highShelfGain, 0.0};
  if (key == mFilterKey) return;
  mFilterKey = key;
  mDetHighPass.SetBiquad(kHighpass, s.highPassHz / fs, 0.707, 0.0);
  mDetMidPeak.SetBiquad(kPeak, 1500.0 / fs, 0.207, s.midPeakGain);
  mDetHighShelf.SetBiquad(kHighShelf, s.highPassHz / fs, 0.207, s.highShelfGain);
  mInHighPassL.SetBiquad(kHighpass, 10.0 / fs, 0.8, 0.0);
  mInHighPassR.SetBiquad(kHighpass, 10.0 / fs, 0.8, 0.0);
  mInPeakL.SetBiquad(kPeak, 1500.0 / fs, 0.107, 0.3);
  mInPeakR.SetBiquad(kPeak, 1500.0 / fs, 0.107, 0.3);
}

void TollenbrookChain::Process(const double* const* in, double* const* out, int nFrames, double fs,
                               const ChainSettings& s) {
  mFs = fs;
  mMix = s.mixTarget / 22.0;
  for (ParamSmoother* sm : {&mThresholdSmoother, &mLimitSmoother, &mCompRecoverySmoother, &mLevelRecoverySmoother,
                            &mGainSmoother, &mRatioSmoother, &mMixSmoother})
    sm->SetCutoff(fs);
  UpdateFilters(fs, s);
  mMeterCoef = fs > 0.0 ? std::exp(-4.60517018599 / (0.3 * fs)) : 0.0;

  mStats.compMinGainDb = 0.0;
  mStats.limiterMinGainDb = 0.0;
  for (int pos = 0; pos < nFrames; pos += kChunk) {
    const int n = std::min(kChunk, nFrames - pos);
    const double* chunkIn[kInputs] = {in[0] + pos, in[1] + pos, in[2] + pos, in[3] + pos};
    double* chunkOut[kOutputs] = {out[0] + pos, out[1] + pos};
    ProcessChunk(chunkIn, chunkOut, n, s);
  }
  mStats.limiterMeter = mLimiterMeter.State();
  mStats.compMeter = mCompMeter.State();
}

void TollenbrookChain::ProcessChunk(const double* const* in, double* const* out, int n, const ChainSettings& s) {
  ColourStage(in[0], in[1], n);
  DetectorStage(in[2], in[3], n, s.extSidechain);
  DetectorFilters(n);
  RecoveryTimes(n, s);
  CompressorSettings(n, s);
  LimiterSettings(n, s);
  Envelopes(n);
  Gains(n);
  WetSignal(n, s.oversampleCount);
  OutputGain(n, s);
  DrySignal(in[0], in[1], n, s.oversampleCount);
  Output(in[0], in[1], out[0], out[1], n, s.bypassValue);
  Meters(n, s.bypassValue);
}

// Input high-pass and peak per channel with single-precision roundings between the stages,
// then the waveshaper plus the chain offset of each sample.
void TollenbrookChain::ColourStage(const double* inL, const double* inR, int n) {
  double d = mDenormalOffset;
  for (int i = 0; i < n; ++i) {
    d = -d;
    mOffset[i] = d;
    mXL[i] = Single(mInPeakL.Process(Single(mInHighPassL.Process(Single(inL[i])))));
    mXR[i] = Single(mInPeakR.Process(Single(mInHighPassR.Process(Single(inR[i])))));
  }
  mDenormalOffset = d;
  mKernels->saturate(mXL.data(), mOffset.data(), mColL.data(), n);
  mKernels->saturate(mXR.data(), mOffset.data(), mColR.data(), n);
}

void TollenbrookChain::DetectorStage(const double* scL, const double* scR, int n, int32_t ext) {
  if (ext == 0) {
    mKernels->saturate(mColL.data(), nullptr, mDetLs.data(), n);
    mKernels->saturate(mColR.data(), nullptr, mDetRs.data(), n);
  } else if (ext == 1) {
    for (int i = 0; i < n; ++i) {
      mDetLs[i] = mOffset[i] + scL[i];
      mDetRs[i] = mOffset[i] + scR[i];
    }
    mKernels->saturate(mDetLs.data(), nullptr, mDetLs.data(), n);
    mKernels->saturate(mDetRs.data(), nullptr, mDetRs.data(), n);
  } else {
    // Any other value keeps the detector signals of the last sample.
    std::fill_n(mDetLs.begin(), n, mDetL);
    std::fill_n(mDetRs.begin(), n, mDetR);
  }
  if (n > 0) {
    mDetL = mDetLs[static_cast<size_t>(n - 1)];
    mDetR = mDetRs[static_cast<size_t>(n - 1)];
  }
}

// The compressor listens to the mono average through high-pass, mid peak and high shelf, each
// rounded to single precision; the limiter to the larger signed detector value's magnitude.
void TollenbrookChain::DetectorFilters(int n) {
  mKernels->detectorMix(mDetLs.data(), mDetRs.data(), mComp.data(), mLim.data(), n);
  for (int i = 0; i < n; ++i)
    mComp[i] = Single(mDetHighShelf.Process(Single(mDetMidPeak.Process(Single(mDetHighPass.Process(mComp[i]))))));
}

void TollenbrookChain::RecoveryTimes(int n, const ChainSettings& s) {
  if (n == 0) return;
  const bool compAuto = s.compRecovery == 4 || s.compRecovery == 5;
  const bool levelAuto = s.levelRecovery == 4 || s.levelRecovery == 5;
  if (compAuto || levelAuto) {
    const double compMin = s.compRecovery == 4 ? 500.0 : 1000.0;
    const double compMax = s.compRecovery == 4 ? 5000.0 : 7000.0;
    const double levelMin = s.levelRecovery == 4 ? 500.0 : 1000.0;
    const double levelMax = s.levelRecovery == 4 ? 5000.0 : 7000.0;
    mKernels->autoRecovery(mDetLs.data(), mDetRs.data(), mCompTarget.data(), mLevelTarget.data(), n, compMin,
                           compMax, levelMin, levelMax);
  }
  // The four maps see every sample; their last input and result are what remains of them.
  const double pLast = LargerMagnitude(mDetLs[static_cast<size_t>(n - 1)], mDetRs[static_cast<size_t>(n - 1)]);
  mCompAuto1.Map(pLast);
  mCompAuto2.Map(pLast);
  mLevelAuto1.Map(pLast);
  mLevelAuto2.Map(pLast);

  const double compConst = RecoveryMs(s.compRecovery, kCompRecoveryMs, pLast, mCompRecoveryMs);
  const double levelConst = RecoveryMs(s.levelRecovery, kLevelRecoveryMs, pLast, mLevelRecoveryMs);
  ReleaseSequence(mCompRecoverySmoother, mCompressor, compAuto ? mCompTarget.data() : nullptr, compConst,
                  mCompRelease.data(), n);
  ReleaseSequence(mLevelRecoverySmoother, mLimiter, levelAuto ? mLevelTarget.data() : nullptr, levelConst,
                  mLimRelease.data(), n);
  mCompRecoveryMs = compConst;
  mLevelRecoveryMs = levelConst;
}

// The release smoother steps twice per sample (once when its first step equals the section's
// current release coefficient), and the section's release is set from the result. Fills
// coefficients[i] with the release coefficient the envelope uses at sample i, which is the one
// set after the previous sample.
void TollenbrookChain::ReleaseSequence(ParamSmoother& smoother, compressor& section, const double* targets,
                                       double constantTarget, double* coefficients, int n) {
  SmootherSteps sm(smoother);
  const double fs = section.mSampleRate;
  coefficients[0] = section.mReleaseCoef;
  // A settled smoother above 1 ms yields the same release time every sample: the first step
  // cannot equal a coefficient below 1, the second step returns the same value.
  if (targets == nullptr && sm.Settled(constantTarget) && sm.z > 1.0 && fs > 0.0 && section.mReleaseCoef <= 1.0) {
    const double coef = envFollower::TimeToCoefficient(sm.z, fs);
    std::fill_n(coefficients + 1, n - 1, coef);
    section.mReleaseCoef = coef;
    return;
  }
  double* times = mStepA.data();
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
    times[i] = r;
    previous = r;
  }
  smoother.SetState(sm.z);
  // Coefficient of each time: 0.01^(1 / (ms fs / 1000)).
  double* coefs = mStepB.data();
  bool constant = true;
  for (int i = 1; i < n; ++i) constant = constant && times[i] == times[0];
  if (constant) {
    std::fill_n(coefs, n, envFollower::TimeToCoefficient(times[0], fs));
  } else {
    mKernels->releaseCoefficients(times, fs, coefs, n);
  }
  std::copy_n(coefs, n - 1, coefficients + 1);
  section.mReleaseCoef = coefs[n - 1];
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

SectionParamsView TollenbrookChain::SectionParams::View() const {
  return {threshold.data(), kneeWidth.data(), kneeLow.data(), kneeHigh.data(), slope.data(), constant,
          constant ? QuietBound(threshold[0], kneeWidth[0], kneeLow[0], slope[0]) : 0.0};
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
// Peak envelope of one section over a chunk. The first sample runs with the attack, hold and
// release the section had; after it the attack is the fixed one the chain sets every sample
// and the hold is 0, so only attack and release remain.
struct EnvelopeRun {
  EnvelopeRun(compressor& c, double attackMs) : section(c), env(c.mEnvelope), attack(c.mAttackCoef),
      fixedAttack(envFollower::TimeToCoefficient(attackMs, c.mSampleRate)) {}

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

void TollenbrookChain::Envelopes(int n) {
  if (n == 0) return;
  EnvelopeRun comp(mCompressor, 10.0);
  EnvelopeRun lim(mLimiter, 5.0);
  mCompEnv[0] = comp.First(mComp[0], mCompRelease[0]);
  mLimEnv[0] = lim.First(mLim[0], mLimRelease[0]);
  for (int i = 1; i < n; ++i) {
    mCompEnv[i] = comp.Next(mComp[i], mCompRelease[i]);
    mLimEnv[i] = lim.Next(mLim[i], mLimRelease[i]);
  }
  comp.Finish();
  lim.Finish();
}

void TollenbrookChain::Gains(int n) {
  if (n == 0) return;
  const double compDeepest =
      mKernels->sectionGains(mCompEnv.data(), mCompParams.View(), n, mGainA.data(), &mCompressor.mGainDb);
  const double limDeepest =
      mKernels->sectionGains(mLimEnv.data(), mLimParams.View(), n, mGainB.data(), &mLimiter.mGainDb);
  mStats.compMinGainDb = std::min(mStats.compMinGainDb, compDeepest);
  mStats.limiterMinGainDb = std::min(mStats.limiterMinGainDb, limDeepest);
}

// Both gains act on the coloured signal, either directly or between the interpolation and
// decimation filters, where the factor 2 restores the level lost to the inserted zeros.
void TollenbrookChain::WetSignal(int n, int32_t count) {
  if (n == 0) return;
  if (count == 0) {
    mKernels->wetDirect(mGainA.data(), mGainB.data(), mColL.data(), mColR.data(), mWetLs.data(), mWetRs.data(), n);
  } else if (count == 2) {
    const auto oversampled = [&](HalfbandBlockFilter& up, HalfbandBlockFilter& down, const Scratch& col,
                                 Scratch& wet) {
      up.Upsample(col.data(), mUp0.data(), mUp1.data(), n);
      mKernels->wetOversampled(mGainA.data(), mGainB.data(), mUp0.data(), mUp1.data(), mDown0.data(), mDown1.data(), n);
      down.Downsample(mDown0.data(), mDown1.data(), wet.data(), n);
    };
    oversampled(mUpFilterL, mDownFilterL, mColL, mWetLs);
    oversampled(mUpFilterR, mDownFilterR, mColR, mWetRs);
  } else {
    std::fill_n(mWetLs.begin(), n, mWetL);
    std::fill_n(mWetRs.begin(), n, mWetR);
  }
  mWetL = mWetLs[static_cast<size_t>(n - 1)];
  mWetR = mWetRs[static_cast<size_t>(n - 1)];
}

// The gain smoother steps once per channel, left first.
void TollenbrookChain::OutputGain(int n, const ChainSettings& s) {
  SmootherSteps gain(mGainSmoother);
  if (gain.Settled(s.gainTarget)) {
    const double g = gain.z;
    for (int i = 0; i < n; i += kLanes) {
      Store(&mWetLs[i], g * Load(&mWetLs[i]));
      Store(&mWetRs[i], g * Load(&mWetRs[i]));
    }
    return;
  }
  for (int i = 0; i < n; ++i) {
    mWetLs[i] = gain.Step(s.gainTarget) * mWetLs[i];
    mWetRs[i] = gain.Step(s.gainTarget) * mWetRs[i];
  }
  mGainSmoother.SetState(gain.z);
}

void TollenbrookChain::DrySignal(const double* inL, const double* inR, int n, int32_t count) {
  if (n == 0) return;
  if (count == 0) {
    std::copy_n(inL, n, mDryLs.begin());
    std::copy_n(inR, n, mDryRs.begin());
  } else if (count == 2) {
    for (int i = 0; i < n; ++i) {
      mDryLs[i] = mDryDelayL.Process(inL[i], 64);
      mDryRs[i] = mDryDelayR.Process(inR[i], 64);
    }
  } else {
    std::fill_n(mDryLs.begin(), n, mDryL);
    std::fill_n(mDryRs.begin(), n, mDryR);
  }
  mDryL = mDryLs[static_cast<size_t>(n - 1)];
  mDryR = mDryRs[static_cast<size_t>(n - 1)];
}

// Switched in, the mix smoother steps four times per frame: the dry weight of each channel is
// one step ahead of its wet weight.
void TollenbrookChain::Output(const double* inL, const double* inR, double* outL, double* outR, int n,
                              double bypass) {
  if (bypass == 0.0) {
    for (int i = 0; i < n; ++i) {
      outL[i] = inL[i] - mOffset[i];
      outR[i] = inR[i] - mOffset[i];
    }
    return;
  }
  if (bypass != 1.0) return;
  SmootherSteps mix(mMixSmoother);
  const int pairs = n & ~(kLanes - 1);
  if (mix.Settled(mMix)) {
    const double w = mix.z;
    const double dryWeight = 1.0 - w;
    for (int i = 0; i < pairs; i += kLanes) {
      const vd d = Load(&mOffset[i]);
      Store(outL + i, dryWeight * Load(&mDryLs[i]) + (Load(&mWetLs[i]) - d) * w);
      Store(outR + i, dryWeight * Load(&mDryRs[i]) + (Load(&mWetRs[i]) - d) * w);
    }
    for (int i = pairs; i < n; ++i) {
      outL[i] = dryWeight * mDryLs[i] + (mWetLs[i] - mOffset[i]) * w;
      outR[i] = dryWeight * mDryRs[i] + (mWetRs[i] - mOffset[i]) * w;
    }
    return;
  }
  for (int i = 0; i < n; ++i) {
    const double m1 = mix.Step(mMix);
    const double m2 = mix.Step(mMix);
    const double m3 = mix.Step(mMix);
    const double m4 = mix.Step(mMix);
    outL[i] = (1.0 - m2) * mDryLs[i] + (mWetLs[i] - mOffset[i]) * m1;
    outR[i] = (1.0 - m4) * mDryRs[i] + (mWetRs[i] - mOffset[i]) * m3;
  }
  mMixSmoother.SetState(mix.z);
}

namespace {
// MeterBallistics::Process with the block's coefficient.
struct NeedleRun {
  NeedleRun(MeterBallistics& m, double c) : meter(m), state(m.State()), coef(c) {}
  void Step(double value) {
    double v = std::fabs(value);
    if (!std::isfinite(v)) v = 0.0;
    v = v > state ? v * 1.0125 : v * 0.9875;
    state = (state - v) * coef + v;
  }
  ~NeedleRun() { meter.SetState(state); }
  MeterBallistics& meter;
  double state;
  double coef;
};
}  // namespace

void TollenbrookChain::Meters(int n, double bypass) {
  if (n == 0) return;
  NeedleRun limiter(mLimiterMeter, mMeterCoef);
  NeedleRun comp(mCompMeter, mMeterCoef);
  if (bypass == 1.0) {
    for (int i = 0; i < n; ++i) {
      limiter.Step(1.0 - mGainB[i]);
      comp.Step(1.0 - mGainA[i]);
    }
    mLimiterMeterInput = 1.0 - mGainB[static_cast<size_t>(n - 1)];
    mCompMeterInput = 1.0 - mGainA[static_cast<size_t>(n - 1)];
    return;
  }
  if (bypass == 0.0) {
    mLimiterMeterInput = 0.0;
    mCompMeterInput = 0.0;
  }
  for (int i = 0; i < n; ++i) {
    limiter.Step(mLimiterMeterInput);
    comp.Step(mCompMeterInput);
  }
}
