#pragma once
#include <cstdint>

// The processing targets and the directly read parameters, as the audio chain takes them for one
// block. The defaults are what the parameters' default values select.
struct ChainSettings {
  double thresholdTarget = 0.0;   // compressor threshold, dB
  double limitTarget = 4.0;       // limiter threshold is -2 times this, dB
  double gainTarget = 1.0;        // output gain, linear
  double mixTarget = 22.0;        // 0 all dry .. 22 all processed
  double ratioTarget = 3.0;
  double kneeFactorTarget = 1.0;
  double highShelfGain = -1.5;    // detector high shelf, dB
  double midPeakGain = -2.0;      // detector 1500 Hz peak, dB
  double highPassHz = 20.0;       // detector high-pass and shelf corner
  double bypassValue = 1.0;       // 1 processes, 0 passes the input through
  int32_t oversampleCount = 0;    // 0 or 2
  int32_t oversampleLatency = 0;  // 0 or 64
  int32_t compRecovery = 1;       // value of "Compressor Recovery Time", 0 to 5
  int32_t levelRecovery = 1;      // value of "Level Recovery Time", 0 to 5
  int32_t extSidechain = 0;       // value of "External Sidechain", 0 or 1
  // Whether anything reads the right output. A mono insert does not: the chain then leaves the
  // right output's stateless work undone (its buffer is the processor's own scratch).
  bool rightHeard = true;
};
