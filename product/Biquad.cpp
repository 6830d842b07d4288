#include "product/Biquad.h"

#include <numbers>

void Biquad::SetBiquad(int32_t type, double fc, double q, double peakGainDb) {
  mType = type;
  mFc = fc;
  mQ = q;
  mPeakGain = peakGainDb;
  CalcCoefficients();
}

void Biquad::SetBiquadAndClear(int32_t type, double fc, double q, double peakGainDb) {
  mZ1 = 0.0;
  mZ2 = 0.0;
  SetBiquad(type, fc, q, peakGainDb);
}

void Biquad::SetType(int32_t type) {
  mType = type;
  CalcCoefficients();
}

void Biquad::SetFc(double fc) {
  mFc = fc;
  CalcCoefficients();
}

void Biquad::SetQ(double q) {
  mQ = q;
  CalcCoefficients();
}

void Biquad::SetPeakGain(double peakGainDb) {
  mPeakGain = peakGainDb;
  CalcCoefficients();
}

void Biquad::SetCoefficients(double a0, double a1, double a2, double b1, double b2) {
  mA0 = a0;
  mA1 = a1;
  mA2 = a2;
  mB1 = b1;
  mB2 = b2;
}

// The shelves and the peak use 1/Q and V/Q where textbook shelves use the square roots of 2
// and 2V, so Q also sets the steepness of a shelf's transition.
void Biquad::CalcCoefficients() {
  const double K = std::tan(std::numbers::pi * mFc);
  const double V = std::pow(10.0, std::fabs(mPeakGain) / 20.0);
  const double Q = mQ;
  const double KK = K * K;
  const bool boost = mPeakGain >= 0.0;
  double n;
  switch (mType) {
    case kLowpass:
      n = 1.0 / (1.0 + K / Q + KK);
      SetCoefficients(KK * n, 2.0 * KK * n, KK * n, 2.0 * (KK - 1.0) * n, (1.0 - K / Q + KK) * n);
      break;
    case kHighpass:
      n = 1.0 / (1.0 + K / Q + KK);
      SetCoefficients(n, -2.0 * n, n, 2.0 * (KK - 1.0) * n, (1.0 - K / Q + KK) * n);
      break;
    case kBandpass:
      n = 1.0 / (1.0 + K / Q + KK);
      SetCoefficients(K / Q * n, 0.0, -(K / Q * n), 2.0 * (KK - 1.0) * n, (1.0 - K / Q + KK) * n);
      break;
    case kNotch:
      n = 1.0 / (1.0 + K / Q + KK);
      SetCoefficients((1.0 + KK) * n, 2.0 * (KK - 1.0) * n, (1.0 + KK) * n, 2.0 * (KK - 1.0) * n,
                      (1.0 - K / Q + KK) * n);
      break;
    case kPeak:
      if (boost) {
        n = 1.0 / (1.0 + K / Q + KK);
        SetCoefficients((1.0 + V * K / Q + KK) * n, 2.0 * (KK - 1.0) * n, (1.0 - V * K / Q + KK) * n,
                        2.0 * (KK - 1.0) * n, (1.0 - K / Q + KK) * n);
      } else {
        n = 1.0 / (1.0 + V * K / Q + KK);
        SetCoefficients((1.0 + K / Q + KK) * n, 2.0 * (KK - 1.0) * n, (1.0 - K / Q + KK) * n,
                        2.0 * (KK - 1.0) * n, (1.0 - V * K / Q + KK) * n);
      }
      break;
    case kLowShelf:
      if (boost) {
        n = 1.0 / (1.0 + K / Q + KK);
        SetCoefficients((1.0 + V * K / Q + V * KK) * n, 2.0 * (V * KK - 1.0) * n,
                        (1.0 - V * K / Q + V * KK) * n, 2.0 * (KK - 1.0) * n, (1.0 - K / Q + KK) * n);
      } else {
        n = 1.0 / (1.0 + V * K / Q + V * KK);
        SetCoefficients((1.0 + K / Q + KK) * n, 2.0 * (KK - 1.0) * n, (1.0 - K / Q + KK) * n,
                        2.0 * (V * KK - 1.0) * n, (1.0 - V * K / Q + V * KK) * n);
      }
      break;
    case kHighShelf:
      if (boost) {
        n = 1.0 / (1.0 + K / Q + KK);
        SetCoefficients((V + V * K / Q + KK) * n, 2.0 * (KK - V) * n, (V - V * K / Q + KK) * n,
                        2.0 * (KK - 1.0) * n, (1.0 - K / Q + KK) * n);
      } else {
        n = 1.0 / (V + V * K / Q + KK);
        SetCoefficients((1.0 + K / Q + KK) * n, 2.0 * (KK - 1.0) * n, (1.0 - K / Q + KK) * n,
                        2.0 * (KK - V) * n, (V - V * K / Q + KK) * n);
      }
      break;
    default:
      // An unknown kind passes the signal unchanged rather than keeping stale coefficients.
      SetCoefficients(1.0, 0.0, 0.0, 0.0, 0.0);
      break;
  }
}
