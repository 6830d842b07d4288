#pragma once
#include <array>
#include <cstdint>
#include <limits>

#include "product/Biquad.h"
#include "product/BiquadBlockForm.h"
#include "product/ChainKernels.h"
#include "product/ChainSettings.h"
#include "product/DryDelay.h"
#include "product/HalfbandBlockFilter.h"
#include "product/MeterBallistics.h"
#include "product/ParamSmoother.h"
#include "product/compressor.h"

// Gain reduction seen during the last block, for meters and command-line statistics.
struct ChainBlockStats {
  double limiterMeter = 1.0;       // needle value handed to the editor (fraction removed)
  double compMeter = 1.0;
  double compMinGainDb = 0.0;      // deepest compressor gain of the block, dB (0 or negative)
  double limiterMinGainDb = 0.0;   // deepest limiter gain of the block, dB
};

// The stereo channel of Tollenbrook: input colour, detector, compressor and limiter sections,
// optional two-times oversampled gain stage, output gain, dry/wet mix and the needle meters.
//
// Every sample is computed as the per-sample recipe defines it: the same single-precision
// roundings, the same number of smoother steps, the same alternating offset. Where fused
// multiply-adds, polynomial approximations or regrouped recursions enter, results agree with
// the recipe to far below what a sample can show: within 1e-6 of it on every signal (the
// regrouped filters now and then round a single-precision value the other way) and, where the
// set runs the recursions sample by sample, within 1e-12. The work runs in passes over chunks of
// up to kChunk frames, each pass one loop of ChainKernels:
// - what does not depend on earlier samples (waveshaping, logarithms and exponentials of the
//   gains, the halfband FIRs, the mix) runs in the widest vectors the processor has;
// - the recursions (filters, envelopes, smoothers, needles) either run sample by sample, with
//   independent ones side by side in two lanes and without branches on the data, or, where the
//   set has wide vectors, eight samples at a time (the filters) and in a shorter form (the
//   envelopes); the needles of a chunk ride along the next chunk's colour filters or envelopes,
//   so their recursions overlap;
// - the needle values handed over at the end of a block are those after the previous block's
//   last frame: the needles of a block's last chunk run along the next block, not alone at the
//   end of this one (a block late is 0.7 ms at 32 frames; no needle can show it);
// - what stays constant while controls rest (coefficients, settled smoothers, section
//   settings, per-rate constants) is computed once;
// - a channel that is silent and at rest (the right channel of a mono insert, both in
//   silence) is known without computing it: its coloured signal is the offset alone.
// A chunk whose inputs are not finite or beyond 1e15 takes the building blocks' own per-sample
// calls, which reset a filter that a non-finite value reached. Chunks of 128 frames keep an
// instance's scratch small enough for many instances to share the caches.
class TollenbrookChain {
public:
  static constexpr int kChunk = HalfbandBlockFilter::kMaxFrames;
  static constexpr int kInputs = 4;   // main left, main right, side-chain left, side-chain right
  static constexpr int kOutputs = 2;

  // Main thread. The loops come from `kernels`.
  explicit TollenbrookChain(const ChainKernels& kernels = FastestKernels());
  TollenbrookChain(const TollenbrookChain&) = delete;
  TollenbrookChain& operator=(const TollenbrookChain&) = delete;

  // Audio thread. Allocates nothing, takes no lock.
  // Prepares for a new stream at sample rate fs: clears the oversampling filters, rewinds the
  // dry delays, sets both sections up and puts every smoother on its target (no glide).
  void Reset(double fs, const ChainSettings& settings);

  // Audio thread. Allocates nothing, takes no lock.
  // inputs[0..3] and outputs[0..1] hold nFrames samples each; all four inputs are read. The
  // settings are taken once for the whole block.
  void Process(const double* const* inputs, double* const* outputs, int nFrames, double fs,
               const ChainSettings& settings);

  // The latency the chain adds with these settings: 64 while oversampling and switched in.
  static int LatencyFor(const ChainSettings& settings);

  // Audio thread (after Process). The needle values after the previous block's last frame and
  // this block's deepest gains.
  const ChainBlockStats& LastBlock() const { return mStats; }

  // Read access for tests and diagnostics on the audio thread.
  const compressor& Compressor() const { return mCompressor; }
  const compressor& Limiter() const { return mLimiter; }
  double CompRecoveryMs() const { return mCompRecoveryMs; }
  double LevelRecoveryMs() const { return mLevelRecoveryMs; }
  double DenormalOffset() const { return mDenormalOffset; }
  const ChainKernels& Kernels() const { return *mKernels; }

private:
  // Vectors of up to 8 lanes may run past the chunk's end.
  static constexpr int kPad = kChunk + 8;
  using Scratch = std::array<double, kPad>;

  // Gain-computer settings of a section for each sample of a chunk (or only element 0 while
  // they rest).
  struct SectionParams {
    alignas(64) Scratch threshold{};
    alignas(64) Scratch kneeWidth{};
    alignas(64) Scratch kneeLow{};
    alignas(64) Scratch kneeHigh{};
    alignas(64) Scratch slope{};
    bool constant = true;
    // The quiet bound of the constant settings it was last worked out for.
    std::array<double, 4> boundKey{std::numeric_limits<double>::quiet_NaN()};
    double bound = 0.0;
    void Record(int i, const compressor& c);
    SectionParamsView View();
  };

  // The release coefficient of the time last asked for: a resting release needs one per chunk.
  class CoefficientCache {
  public:
    double Of(double ms, double fs);

  private:
    double mMs = std::numeric_limits<double>::quiet_NaN();
    double mFs = 0.0;
    double mCoef = 0.0;
  };

  // What the chunk's inputs allow.
  struct ChunkInputs {
    bool ordinary;     // finite and below 1e15 in magnitude
    bool silent[2];    // main input all zeros and that channel's colour filters at rest
    bool keySilent[2];  // side-chain input all zeros (looked at only while it is listened to)
  };

  void SetRate(double fs);
  // Takes every filter through the inputs of its unfinished block of eight.
  void ResolvePartialBlocks();
  void UpdateFilters(double fs, const ChainSettings& s);
  void ProcessChunk(const double* const* in, double* const* out, int n, const ChainSettings& s);
  ChunkInputs Inspect(const double* const* in, int n, int32_t ext);
  void Offsets(int n);
  void ColourStage(const double* inL, const double* inR, int n, const ChunkInputs& inputs, const ChainSettings& s);
  void ColourFilters(const double* inL, const double* inR, int n, const ChunkInputs& inputs);
  void DetectorStage(const double* scL, const double* scR, int n, int32_t ext, const ChunkInputs& inputs);
  void RecoveryTimes(int n, const ChainSettings& s, bool ordinary);
  bool ReleaseSequencesTogether(double compConst, double levelConst, bool compAuto, bool levelAuto, int n);
  void ReleaseSequence(ParamSmoother& smoother, compressor& section, const double* targets, double constantTarget,
                       double* coefficients, int n);
  void ReleaseCoefficients(compressor& section, Scratch& times, double* coefficients, int n);
  void CompressorSettings(int n, const ChainSettings& s);
  void LimiterSettings(int n, const ChainSettings& s);
  void DetectorAndEnvelopes(int n, bool ordinary);
  void DetectorAndEnvelopesPerSample(int n);
  void Gains(int n);
  void WetSignal(int n, const ChainSettings& s);
  // Nothing reads the right output and its wet signal has no state (no oversampling): the right
  // channel's wet signal, output gain and mix are left undone.
  static bool Unheard(const ChainSettings& s) { return !s.rightHeard && s.oversampleCount == 0; }
  void OutputGain(int n, const ChainSettings& s);
  void Output(const double* inL, const double* inR, double* outL, double* outR, int n, const ChainSettings& s);
  void Meters(int n, double bypass);
  Needles PendingNeedles() const;
  void SettleNeedles(const Needles& needles);
  void TakeNeedles();
  void HandOverNeedles();
  // Repeats element n - 1 into the padding, so vector loops never see stale values there.
  static void Pad(Scratch& a, int n);
  // a[0] .. a[n - 1] = v, in whole groups of eight that may reach into the padding of the
  // scratch array a lies in.
  static void FillChunk(double* a, int n, double v);

  const ChainKernels* mKernels;

  // Smoothers of the controls.
  ParamSmoother mThresholdSmoother;
  ParamSmoother mLimitSmoother;
  ParamSmoother mCompRecoverySmoother;
  ParamSmoother mLevelRecoverySmoother;
  ParamSmoother mGainSmoother;
  ParamSmoother mRatioSmoother;
  ParamSmoother mMixSmoother;

  compressor mCompressor;
  compressor mLimiter;

  Biquad mInHighPassL;
  Biquad mInHighPassR;
  Biquad mInPeakL;
  Biquad mInPeakR;
  Biquad mDetHighPass;
  Biquad mDetMidPeak;
  Biquad mDetHighShelf;
  // The filters eight samples at a time (the two channels' input filters share coefficients).
  BiquadBlockForm mInHighPassBlock{};
  BiquadBlockForm mInPeakBlock{};
  BiquadBlockForm mDetHighPassBlock{};
  BiquadBlockForm mDetMidPeakBlock{};
  BiquadBlockForm mDetHighShelfBlock{};
  // Where each filter run in block form stands in its block of eight (left, right).
  PartialBlock mInHighPassPartial[2];
  PartialBlock mInPeakPartial[2];
  PartialBlock mDetPartial[3];  // high-pass, mid peak, high shelf
  const Biquad* const mFilters[7] = {&mInHighPassL, &mInHighPassR, &mInPeakL,    &mInPeakR,
                                     &mDetHighPass, &mDetMidPeak,  &mDetHighShelf};

  HalfbandBlockFilter mUpFilterL{*mKernels};
  HalfbandBlockFilter mDownFilterL{*mKernels};
  HalfbandBlockFilter mUpFilterR{*mKernels};
  HalfbandBlockFilter mDownFilterR{*mKernels};

  DryDelay mDryDelayL;
  DryDelay mDryDelayR;

  double mCompRecoveryMs = 400.0;
  double mLevelRecoveryMs = 100.0;
  CoefficientCache mCompReleaseCache;
  CoefficientCache mLimReleaseCache;

  MeterBallistics mLimiterMeter{1.0};
  MeterBallistics mCompMeter{1.0};
  int mPendingNeedles = 0;  // needle steps of the last chunk not yet taken
  bool mHandOverDue = false;  // the needles of the previous block's end are still to be handed over

  double mDenormalOffset = 1e-15;
  // The waveshaper of the two offsets, +1e-15 and -1e-15: the detector signal of a channel at rest.
  double mShapedOffset[2];

  // Values that persist when a setting selects none of the defined cases.
  double mDetL = 0.0;
  double mDetR = 0.0;
  double mWetL = 0.0;
  double mWetR = 0.0;
  double mDryL = 0.0;
  double mDryR = 0.0;
  double mLimiterMeterInput = 0.0;
  double mCompMeterInput = 0.0;

  // Filter settings the coefficients were last calculated for; recalculating with the same
  // settings would give the same coefficients.
  std::array<double, 4> mFilterKey{-1.0, 0.0, 0.0, 0.0};

  // Constants of the sample rate mRate (NaN until the first block).
  double mRate;
  double mMeterCoef = 0.0;
  double mCompAttack = 0.0;  // the attack coefficients the chain sets every sample
  double mLimAttack = 0.0;

  double mMix = 1.0;  // mix target of the block
  ChainBlockStats mStats;

  // Per-chunk scratch.
  const double* mOffset = nullptr;  // the chain offset of each sample of the chunk, padded
  alignas(64) Scratch mColL{}, mColR{};
  alignas(64) Scratch mDetLs{}, mDetRs{};
  alignas(64) Scratch mCompRelease{}, mLimRelease{};
  alignas(64) Scratch mGainA{}, mGainB{};  // envelopes, then linear gains of compressor and limiter
  alignas(64) Scratch mWetLs{}, mWetRs{};
  alignas(64) Scratch mDryLs{}, mDryRs{};
  alignas(64) Scratch mUp0{}, mUp1{};
  alignas(64) Scratch mStepA{}, mStepB{};  // release targets and times
  SectionParams mCompParams;
  SectionParams mLimParams;
};
