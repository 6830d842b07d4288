#include "product/HalfbandBlockFilter.h"

#include <cassert>
#include <cstring>

#include "product/HalfbandFilter.h"


HalfbandBlockFilter::HalfbandBlockFilter(const ChainKernels& kernels) : mKernels(&kernels) {}

void HalfbandBlockFilter::Clear() {
  mEven.fill(0.0);
  mOdd.fill(0.0);
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
  mKernels->halfbandFirst(e, o, taps, FirstOffset(), first, n);
  mKernels->halfbandSecond(e, o, taps, SecondOffset(), second, n);
  Shift(n);
}

void HalfbandBlockFilter::Downsample(const double* first, const double* second, double* out, int n) {
  assert(n >= 0 && n <= kMaxFrames);
  Append(first, second, n);
  mKernels->halfbandFirst(mEven.data() + kHistory, mOdd.data() + kHistory, HalfbandFilter::kOddCoefficients.data(),
                          FirstOffset(), out, n);
  Shift(n);
}
