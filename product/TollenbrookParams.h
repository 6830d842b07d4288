#pragma once

// Parameter indices of Tollenbrook. The state stores values by index and the editor binds
// controls by index, so the numbering never changes.
enum EParams {
  kParamCompThreshold = 0,
  kParamLimitLevel = 1,
  kParamGain = 2,
  kParamMix = 3,
  kParamRatio = 4,
  kParamHigh = 5,
  kParamMid = 6,
  kParamHighPass = 7,
  kParamCompRecovery = 8,
  kParamLevelRecovery = 9,
  kParamBypass = 10,
  kParamExtSidechain = 11,
  kParamLimiterMeter = 12,  // meter channel: the limiter's gain reduction, sent to the editor
  kParamCompMeter = 13,     // meter channel: the compressor's gain reduction
  kParamOversample = 14,
  kNumParams = 15
};
