#pragma once

namespace iplug {

// The host's transport snapshot for the current block; positions of -1 mean "not reported".
struct TimeInfo {
  double mTempo = 120.0;           // beats per minute
  double mSamplePos = -1.0;
  double mPPQPos = -1.0;           // musical position in quarter notes
  double mLastBar = -1.0;          // left at its default by the AAX binding
  double mCycleStart = -1.0;       // quarter notes
  double mCycleEnd = -1.0;         // quarter notes
  int mNumerator = 4;
  int mDenominator = 4;
  bool mTransportIsRunning = false;
  bool mTransportLoopEnabled = false;
};

}  // namespace iplug
