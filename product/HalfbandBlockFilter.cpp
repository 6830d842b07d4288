#include "product/HalfbandBlockFilter.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "product/HalfbandFilter.h"

HalfbandBlockFilter::HalfbandBlockFilter(const ChainKernels& kernels) : mKernels(&kernels) {}

void HalfbandBlockFilter::Clear() {
  mEven.fill(0.0);
  mOdd.fill(0.0);
  mSteadyFrames = 0;
}

void HalfbandBlockFilter::Append(const double* first, const double* second, int n) {
  const double a = FirstOffset();
  const double b = SecondOffset();
  double* e = mEven.data() + kHistory;
  double* o = mOdd.data() + kHistory;
  for (int j = 0; j < n; ++j) {
    e[j] = first[j] + a;
    o[j] = second != nullptr ? second[j] + b : 0.0 + b;
  }
}

void HalfbandBlockFilter::Shift(int n) {
  std::memmove(mEven.data(), mEven.data() + n, kHistory * sizeof(double));
  std::memmove(mOdd.data(), mOdd.data() + n, kHistory * sizeof(double));
}

void HalfbandBlockFilter::Upsample(const double* x, double* first, double* second, int n) {
  assert(n >= 0 && n <= kMaxFrames);
  Append(x, nullptr, n);
  const double* e = mEven.data() + kHistory;
  const double* o = mOdd.data() + kHistory;
  const double* taps = HalfbandFilter::kOddCoefficients.data();
  if (mSteadyFrames >= kHistory) {
    // Every odd tap of the first call meets two stored zeros, that is, two offsets.
    const double b = SecondOffset();
    double odd = 0.0;
    for (double tap : HalfbandFilter::kOddCoefficients) odd += tap * (b + b);
    const double a = FirstOffset();
    for (int j = 0; j < n; ++j) first[j] = (0.5 * e[j - 32] + odd) - a;
  } else {
    mKernels->halfbandFirst(e, o, taps, FirstOffset(), first, n);
  }
  mKernels->halfbandSecond(e, o, taps, SecondOffset(), second, n);
  mSteadyFrames = std::min(kHistory, mSteadyFrames + n);
  Shift(n);
}

void HalfbandBlockFilter::Downsample(const double* first, const double* second, double* out, int n) {
  assert(n >= 0 && n <= kMaxFrames);
  Append(first, second, n);
  mKernels->halfbandFirst(mEven.data() + kHistory, mOdd.data() + kHistory, HalfbandFilter::kOddCoefficients.data(),
                          FirstOffset(), out, n);
  Shift(n);
}
