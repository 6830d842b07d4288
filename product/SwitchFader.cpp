#include "product/SwitchFader.h"

#include <algorithm>

void SwitchFader::Snap(const ChainSettings& wanted) {
  TakePath(wanted);
  mSwitchPending = false;
  mPlainBypass = wanted.bypassValue != 0.0 && wanted.bypassValue != 1.0;
  mWet.Jump(wanted.bypassValue != 0.0);
  mLevel.Jump(true);
  mSounded = false;
}

void SwitchFader::TakePath(const ChainSettings& wanted) {
  mOversampleCount = wanted.oversampleCount;
  mOversampleLatency = wanted.oversampleLatency;
}

SwitchFader::Segment SwitchFader::Next(const ChainSettings& wanted, int maxFrames, double fs) {
  // Until a frame has been played since the reset there is nothing to fade from: a host that
  // sets up the plug-in before it plays learns the latency of its settings at once.
  if (!mSounded) Snap(wanted);
  if (maxFrames > 0) mSounded = true;
  const int fadeFrames = static_cast<int>(fs * kFadeMs / 1000.0 + 0.5);
  mWet.SetLength(fadeFrames);
  mLevel.SetLength(fadeFrames);
  // A value the switch does not define leaves the chain to do what it does with it.
  mPlainBypass = wanted.bypassValue != 0.0 && wanted.bypassValue != 1.0;
  if (!mPlainBypass && mWet.TargetOn() != (wanted.bypassValue == 1.0)) mWet.MoveTo(wanted.bypassValue == 1.0);

  const bool pathChanges =
      wanted.oversampleCount != mOversampleCount || wanted.oversampleLatency != mOversampleLatency;
  const bool inputAlone = mPlainBypass || (!mWet.Moving() && !mWet.TargetOn());
  if (pathChanges && inputAlone) {
    TakePath(wanted);
    mSwitchPending = false;
    mLevel.Jump(true);
  } else if (pathChanges) {
    mSwitchPending = true;
    if (mLevel.TargetOn()) mLevel.MoveTo(false);
  } else if (mSwitchPending) {
    // Asked back before the switch happened: fade in again on the same path.
    mSwitchPending = false;
    mLevel.MoveTo(true);
  }
  if (mSwitchPending && !mLevel.Moving()) {
    TakePath(wanted);
    mSwitchPending = false;
    mLevel.MoveTo(true, 2 * mOversampleLatency);
  }

  Segment segment{wanted, std::max(maxFrames, 0)};
  segment.settings.oversampleCount = mOversampleCount;
  segment.settings.oversampleLatency = mOversampleLatency;
  if (mPlainBypass) return segment;
  segment.settings.bypassValue = mWet.Moving() || mWet.TargetOn() ? 1.0 : 0.0;
  // The path changes on a segment boundary, once the old path is silent.
  if (mSwitchPending) segment.frames = std::min(segment.frames, mLevel.FramesToTarget());
  return segment;
}

void SwitchFader::Apply(const double* const* inputs, double* const* outputs, int frames) {
  if (mPlainBypass || !Fading()) return;
  if (!mWet.Moving() && !mWet.TargetOn()) return;  // the chain passes the input itself
  for (int f = 0; f < frames; ++f) {
    const double level = mLevel.Next();
    const double wet = mWet.Next();
    for (int c = 0; c < 2; ++c) {
      const double dry = inputs[c][f];
      outputs[c][f] = dry + wet * (level * outputs[c][f] - dry);
    }
  }
}

ChainSettings SwitchFader::Reported(const ChainSettings& wanted) const {
  ChainSettings reported = wanted;
  reported.oversampleCount = mOversampleCount;
  reported.oversampleLatency = mOversampleLatency;
  return reported;
}
