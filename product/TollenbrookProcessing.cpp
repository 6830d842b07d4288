#include <cstdint>
#include <memory>

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
  s.rightHeard = IsChannelConnected(iplug::kOutput, 1);
  return s;
}

void Tollenbrook::ResetProcessing() {
  const ChainSettings settings = CurrentChainSettings();
  mChain->Reset(GetSampleRate(), settings);
  mFader.Snap(settings);
}

// The chain holds its whole state in fixed arrays: made anew in place, it allocates nothing.
void Tollenbrook::ClearProcessing() {
  std::destroy_at(mChain.get());
  std::construct_at(mChain.get());
  ResetProcessing();
}

// The settings are taken once per block: a change that arrives while the block runs takes
// effect at the next block, as if it had arrived a block later. A switch of "Bypass" or
// "Oversample" may split the block where the chain's path changes.
void Tollenbrook::ProcessAudioBlock(double** inputs, double** outputs, int nFrames) {
  const ChainSettings settings = CurrentChainSettings();
  const double fs = GetSampleRate();
  int done = 0;
  do {
    const SwitchFader::Segment segment = mFader.Next(settings, nFrames - done, fs);
    const double* in[TollenbrookChain::kInputs] = {inputs[0] + done, inputs[1] + done, inputs[2] + done,
                                                   inputs[3] + done};
    double* out[TollenbrookChain::kOutputs] = {outputs[0] + done, outputs[1] + done};
    mChain->Process(in, out, segment.frames, fs, segment.settings);
    mFader.Apply(in, out, segment.frames);
    done += segment.frames;
  } while (done < nFrames);

  const ChainBlockStats& stats = mChain->LastBlock();
  mMeterRing.Push({stats.limiterMeter, stats.compMeter});
  mLastLimiterMeter = stats.limiterMeter;
  mLastCompMeter = stats.compMeter;
  mLastLimiterMinGainDb = stats.limiterMinGainDb;
  mLastCompMinGainDb = stats.compMinGainDb;

  const int latency = TollenbrookChain::LatencyFor(mFader.Reported(settings));
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
