#pragma once
#include "aax-library/AAX_Types.h"

// Module-side view of the host transport; see AAX_IACFTransport. Also what a transport MIDI
// node hands out on the real-time thread, so hosts implement it directly there.
class AAX_ITransport {
public:
  virtual ~AAX_ITransport() = default;
  virtual AAX_Result GetCurrentTempo(double* outBPM) const = 0;
  virtual AAX_Result GetCurrentMeter(int32_t* outNumerator, int32_t* outDenominator) const = 0;
  virtual AAX_Result IsTransportPlaying(bool* outIsPlaying) const = 0;
  virtual AAX_Result GetCurrentTickPosition(int64_t* outTicks) const = 0;
  virtual AAX_Result GetCurrentLoopPosition(bool* outLooping, int64_t* outStartTick,
                                            int64_t* outEndTick) const = 0;
  virtual AAX_Result GetCurrentNativeSampleLocation(int64_t* outSampleLocation) const = 0;
  virtual AAX_Result GetCustomTickPosition(int64_t* outTicks, int64_t sampleLocation) const = 0;
  virtual AAX_Result GetBarBeatPosition(int32_t* outBars, int32_t* outBeats, int64_t* outDisplayTicks,
                                        int64_t sampleLocation) const = 0;
  virtual AAX_Result GetTicksPerQuarter(uint32_t* outTicks) const = 0;
  virtual AAX_Result GetCurrentTicksPerBeat(uint32_t* outTicks) const = 0;
};
