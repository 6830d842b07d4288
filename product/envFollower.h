#pragma once
#include <cmath>
#include <cstdint>

// Peak envelope with separate attack and release times and an optional hold after each attack.
// The fields are public because the owning audio chain configures the sections directly at reset.
class envFollower {
public:
  envFollower();

  // Audio thread (at reset) or construction. Allocates nothing, takes no lock.
  // Resets the envelope and the hold counter; detectMode 0 (absolute value) is the only mode.
  virtual void Setup(int mode, double attackMs, double releaseMs, double holdMs, double sampleRate);

  // Audio thread. Allocates nothing, takes no lock.
  virtual double Process(double x) {
    UpdateEnvelope(x);
    return mEnvelope;
  }

  // Audio thread, may be called every sample. Allocates nothing, takes no lock.
  void SetAttack(double ms) { mAttackCoef = TimeToCoefficient(ms, mSampleRate); }
  // Audio thread, may be called every sample. Allocates nothing, takes no lock.
  void SetRelease(double ms) { mReleaseCoef = TimeToCoefficient(ms, mSampleRate); }
  // Audio thread, may be called every sample. Allocates nothing, takes no lock.
  void SetHold(double ms) { mHoldSamples = HoldToSamples(ms, mSampleRate); }

  // The coefficient covers 99 % of a step (a 40 dB approach) in the given time.
  static double TimeToCoefficient(double ms, double sampleRate) {
    return std::pow(0.01, 1.0 / (ms * sampleRate * 0.001));
  }

  // Truncated toward zero. Hold times that do not fit the counter are clamped rather than
  // converted out of range; a negative or undefined hold means no hold.
  static int32_t HoldToSamples(double ms, double sampleRate) {
    const double samples = ms / 1000.0 * sampleRate;
    if (!(samples > 0.0)) return 0;
    if (samples >= 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(samples);
  }

  double mAttackCoef = 0.0;
  double mReleaseCoef = 0.0;
  double mEnvelope = 0.0;
  double mSampleRate = 0.0;
  int32_t mHoldCount = 0;
  int32_t mHoldSamples = 0;
  int32_t mDetectMode = 0;

protected:
  void UpdateEnvelope(double x) {
    double v = std::fabs(x);
    // A NaN or infinite sample would otherwise poison the recursion for good (NaN never
    // compares greater, so the envelope could not recover); such a sample counts as silence.
    if (!std::isfinite(v)) v = 0.0;
    if (v > mEnvelope) {
      mEnvelope = (mEnvelope - v) * mAttackCoef + v;
      mHoldCount = 0;
    } else if (mHoldCount < mHoldSamples) {
      ++mHoldCount;
    } else {
      mEnvelope = (mEnvelope - v) * mReleaseCoef + v;
    }
  }
};
