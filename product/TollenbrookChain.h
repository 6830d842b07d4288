#pragma once
#include <array>
#include <cstdint>

#include "product/Biquad.h"
#include "product/ChainKernels.h"
#include "product/ChainSettings.h"
#include "product/DelayLine.h"
#include "product/HalfbandBlockFilter.h"
#include "product/MeterBallistics.h"
#include "product/ParamSmoother.h"
#include "product/RangeMap.h"
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
// roundings, the same number of smoother steps, the same alternating offset. The work is
// organised in passes over chunks of up to kChunk frames so that what does not depend on
// earlier samples (waveshaping, logarithms and exponentials of the gains, the halfband FIRs,
// the mix) runs two samples at a time, and what stays constant while controls rest
// (coefficients, settled smoothers, section settings) is computed once.
class TollenbrookChain {
public:
  static constexpr int kChunk = 256;
  static constexpr int kInputs = 4;   // main left, main right, side-chain left, side-chain right
  static constexpr int kOutputs = 2;

  // Main thread. The batch loops come from `kernels`; every build gives the same results.
  explicit TollenbrookChain(const ChainKernels& kernels = FastestKernels());

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

  // Audio thread (after Process). The block's meter values and deepest gains.
  const ChainBlockStats& LastBlock() const { return mStats; }

  // Read access for tests and diagnostics on the audio thread.
  const compressor& Compressor() const { return mCompressor; }
  const compressor& Limiter() const { return mLimiter; }
  double CompRecoveryMs() const { return mCompRecoveryMs; }
  double LevelRecoveryMs() const { return mLevelRecoveryMs; }
  double DenormalOffset() const { return mDenormalOffset; }

private:
  static constexpr int kPad = kChunk + 4;
  using Scratch = std::array<double, kPad>;

  // Gain-computer settings of a section for each sample of a chunk (or only element 0 while
  // they rest).
  struct SectionParams {
    alignas(16) Scratch threshold{};
    alignas(16) Scratch kneeWidth{};
    alignas(16) Scratch kneeLow{};
    alignas(16) Scratch kneeHigh{};
    alignas(16) Scratch slope{};
    bool constant = true;
    void Record(int i, const compressor& c);
    SectionParamsView View() const;
  };

  void UpdateFilters(double fs, const ChainSettings& s);
  void ProcessChunk(const double* const* in, double* const* out, int n, const ChainSettings& s);
  void ColourStage(const double* inL, const double* inR, int n);
  void DetectorStage(const double* scL, const double* scR, int n, int32_t ext);
  void DetectorFilters(int n);
  void RecoveryTimes(int n, const ChainSettings& s);
  void ReleaseSequence(ParamSmoother& smoother, compressor& section, const double* targets, double constantTarget,
                       double* coefficients, int n);
  void CompressorSettings(int n, const ChainSettings& s);
  void LimiterSettings(int n, const ChainSettings& s);
  void Envelopes(int n);
  void Gains(int n);
  void WetSignal(int n, int32_t count);
  void OutputGain(int n, const ChainSettings& s);
  void DrySignal(const double* inL, const double* inR, int n, int32_t count);
  void Output(const double* inL, const double* inR, double* outL, double* outR, int n, double bypass);
  void Meters(int n, double bypass);

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

  HalfbandBlockFilter mUpFilterL{*mKernels};
  HalfbandBlockFilter mDownFilterL{*mKernels};
  HalfbandBlockFilter mUpFilterR{*mKernels};
  HalfbandBlockFilter mDownFilterR{*mKernels};

  DelayLine mDryDelayL;
  DelayLine mDryDelayR;

  RangeMap mCompAuto1{0.0, 1.0, 500.0, 5000.0};
  RangeMap mCompAuto2{0.0, 1.0, 1000.0, 7000.0};
  RangeMap mLevelAuto1{0.0, 1.0, 500.0, 5000.0};
  RangeMap mLevelAuto2{0.0, 1.0, 1000.0, 7000.0};

  double mCompRecoveryMs = 400.0;
  double mLevelRecoveryMs = 100.0;

  MeterBallistics mLimiterMeter{1.0};
  MeterBallistics mCompMeter{1.0};

  double mDenormalOffset = 1e-15;

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
  std::array<double, 5> mFilterKey{-1.0, 0.0, 0.0, 0.0, 0.0};

  // Per-block constants.
  double mFs = 48000.0;
  double mMix = 1.0;
  double mMeterCoef = 0.0;

  ChainBlockStats mStats;

  // Per-chunk scratch; two samples at a time, hence the padding.
  alignas(16) Scratch mOffset{};
  alignas(16) Scratch mXL{}, mXR{};
  alignas(16) Scratch mColL{}, mColR{};
  alignas(16) Scratch mDetLs{}, mDetRs{};
  alignas(16) Scratch mComp{}, mLim{};
  alignas(16) Scratch mCompTarget{}, mLevelTarget{};
  alignas(16) Scratch mCompRelease{}, mLimRelease{};
  alignas(16) Scratch mCompEnv{}, mLimEnv{};
  alignas(16) Scratch mGainA{}, mGainB{};  // linear gains of the compressor and limiter
  alignas(16) Scratch mWetLs{}, mWetRs{};
  alignas(16) Scratch mDryLs{}, mDryRs{};
  alignas(16) Scratch mUp0{}, mUp1{}, mDown0{}, mDown1{};
  alignas(16) Scratch mStepA{}, mStepB{};  // release times and their coefficients
  SectionParams mCompParams;
  SectionParams mLimParams;
};
