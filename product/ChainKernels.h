#pragma once
#include <cstdint>

#include "product/Biquad.h"
#include "product/BiquadBlockForm.h"

// The loops of the audio chain, built once per instruction set and chosen at construction by
// what the processor offers: the x86-64 baseline (SSE2), AVX2 with fused multiply-adds, and
// AVX-512. Two kinds of loop live here.
//
// Recursions (filters, envelopes, smoothers, needles). In the baseline set they run sample by
// sample, every step exactly as the per-sample recipe writes it, with no fused multiply-add, so
// they give the recipe's values bit for bit; where lanes are independent (left and right channel,
// the two sections, the two needles) they share one two-lane vector. The AVX2 and AVX-512 sets
// take the filters eight samples at a time (BiquadBlockForm) and the envelopes in a shorter
// form (see EnvelopePair): the same arithmetic regrouped, so their values differ from the
// recipe's in the last bits of a state, which now and then moves a single-precision rounding
// by one step; the chain's output stays within 1e-6 of the recipe. The two sets take the
// recursions through the same operations in the same order, so there they agree with each
// other bit for bit. The needles are display values in every set, reordered so their step is
// short (see NeedlePair).
//
// Batch loops (waveshaper, gain computer, release coefficients, halfband filters, mix) work on
// whole chunks in the widest vectors the set has. Their elementary functions and polynomials
// use fused multiply-adds where the set has them, so sets may differ from each other and from
// the C library in the last bit of such a result; they agree with the per-sample recipe to far
// below what the output can show.
//
// Arrays are padded: a batch loop may read and write up to n rounded up to 8 elements.

// The input colour stage of both channels: high-pass, then the 1500 Hz bump.
struct ColourSections {
  Biquad::Snapshot highPass[2];
  Biquad::Snapshot peak[2];
  const BiquadBlockForm* highPassBlock;  // both channels share the coefficients
  const BiquadBlockForm* peakBlock;
  PartialBlock* highPassPartial[2];  // where each section is in its block of eight
  PartialBlock* peakPartial[2];
};

// The compressor's detector filters and the two sections' peak envelopes.
struct DetectorSections {
  Biquad::Snapshot highPass;
  Biquad::Snapshot midPeak;
  Biquad::Snapshot highShelf;
  double envelope[2];  // compressor, limiter
  double attack[2];    // attack coefficients, the same for every sample
  const BiquadBlockForm* highPassBlock;
  const BiquadBlockForm* midPeakBlock;
  const BiquadBlockForm* highShelfBlock;
  PartialBlock* partial[3];  // high-pass, mid peak, high shelf
};

// Needle steps waiting to be taken: MeterBallistics::Process for both needles, fed 1 - gain.
struct Needles {
  const double* limGain;
  const double* compGain;
  int count;        // steps still to take; 0 once taken
  double state[2];  // limiter, compressor
  double coef;
};

// Gain-computer settings of a section for the samples of a chunk.
struct SectionParamsView {
  const double* threshold;
  const double* kneeWidth;
  const double* kneeLow;
  const double* kneeHigh;
  const double* slope;
  bool constant;      // element 0 holds for every sample
  double quietBound;  // envelopes at or below this have a gain of exactly 0 dB (constant only)
};

struct ChainKernels {
  const char* name;
  // The recursions run step for step as the per-sample recipe writes them (bit for bit).
  bool stepByStep;

  // ---- recursions ----

  // x[i] = single(peak(single(highPass(in[i])))) for the left and right channel, from inputs
  // already rounded to single precision (x may be in). Inputs must be finite and states finite
  // (the chain sees to it); channels 1 runs only the left lane. A set that runs the filters
  // sample by sample takes the waiting needle steps along; the others leave them waiting.
  void (*colour)(const double* inL, const double* inR, ColourSections& s, double* xL, double* xR, int n,
                 int channels, Needles& needles);
  // The compressor's detector signal (from detectorMix, filtered in place) through the three
  // filters, rounding after each; then both peak envelopes, fed the filtered signal and the
  // limiter's input, with the attack of `s` and the release coefficient of each sample.
  // env[i] is the envelope after sample i. Takes the waiting needle steps along (their gains
  // are read before the envelopes overwrite them).
  void (*detectorEnvelopes)(double* comp, const double* lim, DetectorSections& s, const double* compRelease,
                            const double* limRelease, double* compEnv, double* limEnv, int n, Needles& needles);
  // Two release smoothers of ParamSmoother's recipe stepped twice per sample (states above 1,
  // where no flush and no equality with a coefficient can occur): times[i] after sample i. The
  // two steps are taken as one, so a time may differ from the recipe's in its last bit.
  void (*releaseTimes)(const double* compTargets, const double* levelTargets, double a, double b, double* z,
                       double* compTimes, double* levelTimes, int n);
  // Takes the waiting needle steps.
  void (*needles)(Needles& needles);

  // ---- batch loops ----

  // out[i] = Saturate(x[i]) + add[i], or Saturate(x[i]) when add is null.
  void (*saturate)(const double* x, const double* add, double* out, int n);
  // The largest |x[i]| as the bits of the double (NaN above infinity), so 0 means silence.
  uint64_t (*peakBits)(const double* x, int n);
  // out[i] = in[i] rounded to single precision, for two arrays; reads and writes exactly n.
  void (*roundToSingle2)(const double* a, const double* b, double* outA, double* outB, int n);
  // comp[i] = the average of l and r rounded to single precision; lim[i] = |max(l, r)|.
  void (*detectorMix)(const double* l, const double* r, double* comp, double* lim, int n);
  // Automatic recovery times from the larger detector magnitude.
  void (*autoRecovery)(const double* l, const double* r, double* compMs, double* levelMs, int n, double compMin,
                       double compMax, double levelMin, double levelMax);
  // coefs[i] = 0.01^(1 / (ms[i] fs / 1000)); may work in place.
  void (*releaseCoefficients)(const double* ms, double fs, double* coefs, int n);
  // Gain computer: linear[i] = 10^(g/20) of the gain g in dB (may work in place); returns the
  // deepest g and stores the last one.
  double (*sectionGains)(const double* env, const SectionParamsView& p, int n, double* linear, double* lastDb);
  // wet[i] = gb (ga col[i]) for both channels, or the left alone when colR and wetR are null.
  void (*wetDirect)(const double* ga, const double* gb, const double* colL, const double* colR, double* wetL,
                    double* wetR, int n);
  // u[i] = gb (2 (ga u[i])) for both sub-samples of a frame, in place.
  void (*wetOversampled)(const double* ga, const double* gb, double* u0, double* u1, int n);
  // x[i] = g x[i] for both arrays, or l alone when r is null.
  void (*scale)(double* l, double* r, double g, int n);
  // out[i] = dryWeight dry[i] + (wet[i] - offset[i]) wetWeight.
  void (*mix)(const double* dry, const double* wet, const double* offset, double dryWeight, double wetWeight,
              double* out, int n);
  // Halfband outputs of the first and second call of each frame from the phase-split history.
  void (*halfbandFirst)(const double* first, const double* second, const double* taps, double offset, double* out,
                        int n);
  void (*halfbandSecond)(const double* first, const double* second, const double* taps, double offset, double* out,
                         int n);
};

// Main thread. Null when the processor (or the operating system) does not offer the set.
const ChainKernels& BaselineKernels();
const ChainKernels* Avx2Kernels();
const ChainKernels* Avx512Kernels();
// Main thread (construction). Allocates nothing, takes no lock. The fastest set this processor
// runs, or the cap's set when it is lower.
const ChainKernels& FastestKernels();
// Main thread, before chains are made: FastestKernels() returns no set above `ceiling` (one of
// SupportedKernels(); null lifts the cap). Lets benchmarks and tests measure or check a smaller
// set through the whole plug-in.
void CapKernels(const ChainKernels* ceiling);

// Every set this processor runs, baseline first; count says how many of the three are filled.
struct SupportedKernelSets {
  const ChainKernels* sets[3];
  int count;
};
SupportedKernelSets SupportedKernels();
