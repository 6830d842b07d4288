#include "product/HalfbandBlockFilter.h"

#include <cassert>
#include <cstring>

#include "product/HalfbandFilter.h"
#include "product/SimdMath.h"

namespace {
constexpr auto& kH = HalfbandFilter::kOddCoefficients;
}

HalfbandBlockFilter::HalfbandBlockFilter() = default;

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

// Output of the first call of frame j: centre tap on the first-call history, odd taps on the
// second-call history (s[k] is the sample stored k calls earlier).
void HalfbandBlockFilter::FirstPhase(double* out, int n) const {
  using namespace simd;
  const double* e = mEven.data() + kHistory;
  const double* o = mOdd.data() + kHistory;
  const double offset = FirstOffset();
  for (int j = 0; j < n; j += kLanes) {
    f64x2 y = 0.5 * Load(e + j - 32);
    for (int i = 0; i < HalfbandFilter::kOddTaps; ++i)
      y += kH[static_cast<size_t>(i)] * (Load(o + j - 1 - i) + Load(o + j - 64 + i));
    Store(out + j, y - offset);
  }
}

// Output of the second call of frame j: centre tap on the second-call history, odd taps on the
// first-call history.
void HalfbandBlockFilter::SecondPhase(double* out, int n) const {
  using namespace simd;
  const double* e = mEven.data() + kHistory;
  const double* o = mOdd.data() + kHistory;
  const double offset = SecondOffset();
  for (int j = 0; j < n; j += kLanes) {
    f64x2 y = 0.5 * Load(o + j - 32);
    for (int i = 0; i < HalfbandFilter::kOddTaps; ++i)
      y += kH[static_cast<size_t>(i)] * (Load(e + j - i) + Load(e + j - 63 + i));
    Store(out + j, y - offset);
  }
}

void HalfbandBlockFilter::Shift(int n) {
  std::memmove(mEven.data(), mEven.data() + n, kHistory * sizeof(double));
  std::memmove(mOdd.data(), mOdd.data() + n, kHistory * sizeof(double));
}

void HalfbandBlockFilter::Upsample(const double* x, double* first, double* second, int n) {
  assert(n >= 0 && n <= kMaxFrames);
  Append(x, nullptr, n);
  FirstPhase(first, n);
  SecondPhase(second, n);
  Shift(n);
}

void HalfbandBlockFilter::Downsample(const double* first, const double* second, double* out, int n) {
  assert(n >= 0 && n <= kMaxFrames);
  Append(first, second, n);
  FirstPhase(out, n);
  Shift(n);
}
