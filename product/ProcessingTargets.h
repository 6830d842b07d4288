#pragma once
#include <cstdint>

#include "IPlug/RelaxedAtomic.h"

// What the parameter hook hands to the audio chain: one target per setting, written on the
// host's or the editor's thread whenever its parameter changes and read by the chain on
// the audio thread. Each is a single relaxed atomic, so the chain sees either the old or
// the new value and never waits. All of them are set from the parameters' defaults before
// the plug-in can process audio.
struct ProcessingTargets {
  iplug::RelaxedAtomic<double> mThresholdTarget;   // compressor threshold, dB
  iplug::RelaxedAtomic<double> mLimitTarget;       // limit value; the limiter threshold is -2x this, dB
  iplug::RelaxedAtomic<double> mGainTarget;        // output gain, linear
  iplug::RelaxedAtomic<double> mMixTarget;         // mix index 0 (dry) .. 22 (processed)
  iplug::RelaxedAtomic<double> mRatioTarget;       // compressor ratio
  iplug::RelaxedAtomic<double> mKneeFactorTarget;  // compressor knee factor
  iplug::RelaxedAtomic<double> mHighShelfGain;     // detector high shelf, dB
  iplug::RelaxedAtomic<double> mMidPeakGain;       // detector 1500 Hz peak, dB
  iplug::RelaxedAtomic<double> mHighPassHz;        // detector high-pass corner (also the shelf's)
  iplug::RelaxedAtomic<double> mBypassValue;       // 1 processes, 0 passes the input through
  iplug::RelaxedAtomic<int32_t> mOversampleCount;  // 0 or 2
  iplug::RelaxedAtomic<int32_t> mOversampleLatency;  // 0 or 64 samples
};
