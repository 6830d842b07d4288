#pragma once
#include "aax-library/AAX_ACFPtr.h"
#include "aax-library/AAX_IACFTransport.h"
#include "aax-library/AAX_ITransport.h"

// Forwards to the host transport (asked from the host context, or wrapping a transport the
// caller already holds). Every call gives AAX_ERROR_NULL_OBJECT when the host offers none.
class AAX_VTransport : public AAX_ITransport {
public:
  explicit AAX_VTransport(IACFUnknown* hostContext);

  bool IsValid() const { return static_cast<bool>(mTransport); }

  AAX_Result GetCurrentTempo(double* outBPM) const override;
  AAX_Result GetCurrentMeter(int32_t* outNumerator, int32_t* outDenominator) const override;
  AAX_Result IsTransportPlaying(bool* outIsPlaying) const override;
  AAX_Result GetCurrentTickPosition(int64_t* outTicks) const override;
  AAX_Result GetCurrentLoopPosition(bool* outLooping, int64_t* outStartTick, int64_t* outEndTick) const override;
  AAX_Result GetCurrentNativeSampleLocation(int64_t* outSampleLocation) const override;
  AAX_Result GetCustomTickPosition(int64_t* outTicks, int64_t sampleLocation) const override;
  AAX_Result GetBarBeatPosition(int32_t* outBars, int32_t* outBeats, int64_t* outDisplayTicks,
                                int64_t sampleLocation) const override;
  AAX_Result GetTicksPerQuarter(uint32_t* outTicks) const override;
  AAX_Result GetCurrentTicksPerBeat(uint32_t* outTicks) const override;

private:
  AAX_ACFPtr<AAX_IACFTransport> mTransport;
};
