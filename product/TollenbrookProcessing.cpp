#include <cstdint>

#include "product/Tollenbrook.h"

// The product's side of the audio thread: the chain, the meter hand-over and the latency.

ChainSettings Tollenbrook::CurrentChainSettings() const {
  ChainSettings s;
  s.thresholdTarget = mTargets.mThresholdTarget;
  s.limitTarget = mTargets.mLimitTarget;
  s.gainTarget = mTargets.mGainTarget;
  s.mixTarget = mTargets.mMixTarget;
  s.ratioTarget = mTargets.mRatioTarget;
  s.kneeFactorTarget = mTargets.mKneeFactorTarget;
  s.highShelfGain = mTargets.mHighShelfGain;
  s.midPeakGain = mTargets.mMidPeakGain;
  s.highPassHz = mTargets.mHighPassHz;
  s.bypassValue = mTargets.mBypassValue;
  s.oversampleCount = mTargets.mOversampleCount;
  s.oversampleLatency = mTargets.mOversampleLatency;
  // Read as integers, truncated toward zero.
  s.compRecovery = static_cast<int32_t>(GetParam(kParamCompRecovery)->Value());
  s.levelRecovery = static_cast<int32_t>(GetParam(kParamLevelRecovery)->Value());
  s.extSidechain = static_cast<int32_t>(GetParam(kParamExtSidechain)->Value());
  return s;
}

void Tollenbrook::ResetProcessing() { mChain->Reset(GetSampleRate(), CurrentChainSettings()); }

// The settings are taken once per block: a change that arrives while the block runs takes
// effect at the next block, as if it had arrived a block later.
void Tollenbrook::ProcessAudioBlock(double** inputs, double** outputs, int nFrames) {
  const ChainSettings settings = CurrentChainSettings();
  mChain->Process(inputs, outputs, nFrames, GetSampleRate(), settings);

  const ChainBlockStats& stats = mChain->LastBlock();
  mMeterRing.Push({stats.limiterMeter, stats.compMeter});
  mLastLimiterMeter = stats.limiterMeter;
  mLastCompMeter = stats.compMeter;
  mLastLimiterMinGainDb = stats.limiterMinGainDb;
  mLastCompMinGainDb = stats.compMinGainDb;

  const int latency = TollenbrookChain::LatencyFor(settings);
  if (latency != GetLatency()) UpdateLatency(latency);
}

Tollenbrook::BlockMeters Tollenbrook::LastBlockMeters() const {
  return {mLastLimiterMeter, mLastCompMeter, mLastLimiterMinGainDb, mLastCompMinGainDb};
}

// The needles show one value at a time, so only the newest reading of the tick is sent.
void Tollenbrook::OnPeriodicTick() {
  iplug::Plugin::OnPeriodicTick();
  if (mShowingMeters) {
    // One step of the ballistics per tick, at the tick rate.
    constexpr double kTicksPerSecond = 1000.0 / kTimerIntervalMs;
    const double limiter = mShownNeedles[kLimiterReductionMeter].Process(mShownAims[kLimiterReductionMeter], kTicksPerSecond);
    const double comp = mShownNeedles[kCompReductionMeter].Process(mShownAims[kCompReductionMeter], kTicksPerSecond);
    SendParamValueToEditor(kParamLimiterMeter, limiter, false);
    SendParamValueToEditor(kParamCompMeter, comp, false);
  }
  MeterReading reading{};
  bool any = false;
  while (mMeterRing.Pop(reading)) any = true;
  if (!any) return;
  SendParamValueToEditor(kParamLimiterMeter, reading.limiter, false);
  SendParamValueToEditor(kParamCompMeter, reading.comp, false);
}

void Tollenbrook::OnEditorOpened() {
  iplug::Plugin::OnEditorOpened();
  SendParamValueToEditor(kParamLimiterMeter, mLastLimiterMeter, false);
  SendParamValueToEditor(kParamCompMeter, mLastCompMeter, false);
}

void Tollenbrook::OnStateRestored() {
  iplug::Plugin::OnStateRestored();
  SendParamValueFromProcessor(kParamLimiterMeter, mLastLimiterMeter, false);
  SendParamValueFromProcessor(kParamCompMeter, mLastCompMeter, false);
}
