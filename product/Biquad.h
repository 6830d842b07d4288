#pragma once
#include <cmath>
#include <cstdint>

#include "product/BiquadType.h"

// One second-order section, bilinear-transform designs of the usual textbook family.
// Frequencies are fractions of the sample rate (f / fs).
class Biquad {
public:
  Biquad() = default;

  // Audio thread (once per block) or main thread. Allocates nothing, takes no lock.
  // Recalculates the coefficients; the filter state is kept so a running signal glides on.
  void SetBiquad(int32_t type, double fc, double q, double peakGainDb);
  // As SetBiquad, and also clears the filter state. Same threads and guarantees.
  void SetBiquadAndClear(int32_t type, double fc, double q, double peakGainDb);

  // Audio thread (once per block) or main thread. Allocates nothing, takes no lock.
  // Each stores one value and recalculates the coefficients, keeping the state.
  void SetType(int32_t type);
  void SetFc(double fc);
  void SetQ(double q);
  void SetPeakGain(double peakGainDb);

  // Audio thread. Allocates nothing, takes no lock. Transposed direct form II.
  double Process(double x) {
    const double y = x * mA0 + mZ1;
    mZ1 = x * mA1 + mZ2 - mB1 * y;
    mZ2 = x * mA2 - mB2 * y;
    // A NaN or infinite input would otherwise stay in the state for good; the section
    // starts again from silence instead.
    if (!std::isfinite(mZ1) || !std::isfinite(mZ2)) {
      mZ1 = 0.0;
      mZ2 = 0.0;
    }
    return y;
  }

  // Coefficients and state as plain numbers, for batch loops that run sections side by side
  // and hand the state back with SetState.
  struct Snapshot {
    double a0, a1, a2, b1, b2, z1, z2;
  };
  Snapshot Get() const { return {mA0, mA1, mA2, mB1, mB2, mZ1, mZ2}; }
  // Audio thread. Allocates nothing, takes no lock.
  void SetState(double z1, double z2) {
    mZ1 = z1;
    mZ2 = z2;
  }

  int32_t Type() const { return mType; }
  double Fc() const { return mFc; }
  double Q() const { return mQ; }
  double PeakGain() const { return mPeakGain; }

private:
  void CalcCoefficients();
  void SetCoefficients(double a0, double a1, double a2, double b1, double b2);

  int32_t mType = kLowpass;
  double mA0 = 1.0;
  double mA1 = 0.0;
  double mA2 = 0.0;
  double mB1 = 0.0;
  double mB2 = 0.0;
  double mFc = 0.5;
  double mQ = 0.707;
  double mPeakGain = 0.0;
  double mZ1 = 0.0;
  double mZ2 = 0.0;
};
