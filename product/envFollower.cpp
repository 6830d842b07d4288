#include "product/envFollower.h"

envFollower::envFollower() {
  envFollower::Setup(0, 5.0, 50.0, 0.0, 44100.0);
}

void envFollower::Setup(int mode, double attackMs, double releaseMs, double holdMs, double sampleRate) {
  mDetectMode = mode;
  mSampleRate = sampleRate;
  mAttackCoef = TimeToCoefficient(attackMs, sampleRate);
  mReleaseCoef = TimeToCoefficient(releaseMs, sampleRate);
  mEnvelope = 0.0;
  mHoldCount = 0;
  mHoldSamples = HoldToSamples(holdMs, sampleRate);
}
