#pragma once

// The batch loops of the audio chain, built once for the x86-64 baseline (SSE2) and once for
// AVX2 and chosen at construction by what the processor offers. Both builds run the same
// operations in every lane, so their results are identical; AVX2 only does twice as many at
// once. Arrays are padded: every loop may read and write up to n rounded up to 4 elements.
struct SectionParamsView {
  const double* threshold;
  const double* kneeWidth;
  const double* kneeLow;
  const double* kneeHigh;
  const double* slope;
  bool constant;  // element 0 holds for every sample
  double quietBound;  // envelopes at or below this have a gain of exactly 0 dB (constant only)
};

struct ChainKernels {
  const char* name;
  // out[i] = Saturate(x[i]) + add[i], or Saturate(x[i]) when add is null.
  void (*saturate)(const double* x, const double* add, double* out, int n);
  // comp[i] = average of l and r rounded to single precision; lim[i] = |max(l, r)|.
  void (*detectorMix)(const double* l, const double* r, double* comp, double* lim, int n);
  // Automatic recovery times from the larger detector magnitude.
  void (*autoRecovery)(const double* l, const double* r, double* compMs, double* levelMs, int n, double compMin,
                       double compMax, double levelMin, double levelMax);
  // coefs[i] = 0.01^(1 / (ms[i] fs / 1000)).
  void (*releaseCoefficients)(const double* ms, double fs, double* coefs, int n);
  // Gain computer: linear[i] = 10^(g/20) of the gain g in dB; returns the deepest g and stores
  // the last one.
  double (*sectionGains)(const double* env, const SectionParamsView& p, int n, double* linear, double* lastDb);
  // wet[i] = gb (ga col[i]) for both channels.
  void (*wetDirect)(const double* ga, const double* gb, const double* colL, const double* colR, double* wetL,
                    double* wetR, int n);
  // w[i] = gb (2 (ga u[i])) for both sub-samples of a frame.
  void (*wetOversampled)(const double* ga, const double* gb, const double* u0, const double* u1, double* w0,
                         double* w1, int n);
  // Halfband outputs of the first and second call of each frame from the phase-split history.
  void (*halfbandFirst)(const double* first, const double* second, const double* taps, double offset, double* out,
                        int n);
  void (*halfbandSecond)(const double* first, const double* second, const double* taps, double offset, double* out,
                         int n);
};

const ChainKernels& BaselineKernels();
// Null when the processor (or the operating system) does not offer AVX2.
const ChainKernels* Avx2Kernels();
// Main thread (construction). Allocates nothing, takes no lock.
const ChainKernels& FastestKernels();
