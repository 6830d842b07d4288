#pragma once
#include "aax-library/ACFModel.h"
#include "aax-library/AAX_Types.h"

// Tempo, meter and position of the host's transport. Ticks count 960000 per quarter note.
class AAX_IACFTransport : public IACFUnknown {
public:
  // Any thread, including the real-time thread.
  virtual AAX_Result GetCurrentTempo(double* outBPM) const = 0;
  virtual AAX_Result GetCurrentMeter(int32_t* outNumerator, int32_t* outDenominator) const = 0;
  virtual AAX_Result IsTransportPlaying(AAX_CBoolean* outIsPlaying) const = 0;
  virtual AAX_Result GetCurrentTickPosition(int64_t* outTicks) const = 0;
  virtual AAX_Result GetCurrentLoopPosition(AAX_CBoolean* outLooping, int64_t* outStartTick,
                                            int64_t* outEndTick) const = 0;
  virtual AAX_Result GetCurrentNativeSampleLocation(int64_t* outSampleLocation) const = 0;
  virtual AAX_Result GetCustomTickPosition(int64_t* outTicks, int64_t sampleLocation) const = 0;
  virtual AAX_Result GetBarBeatPosition(int32_t* outBars, int32_t* outBeats, int64_t* outDisplayTicks,
                                        int64_t sampleLocation) const = 0;
  virtual AAX_Result GetTicksPerQuarter(uint32_t* outTicks) const = 0;
  virtual AAX_Result GetCurrentTicksPerBeat(uint32_t* outTicks) const = 0;

protected:
  ~AAX_IACFTransport() = default;
};
