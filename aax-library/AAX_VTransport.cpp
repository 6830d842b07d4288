#include "aax-library/AAX_VTransport.h"

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"

AAX_VTransport::AAX_VTransport(IACFUnknown* hostContext)
    : mTransport(AAX_ACFPtr<AAX_IACFTransport>::Query(hostContext, IID_IAAXTransportV1)) {}

#define AAX_FORWARD(call) return mTransport ? mTransport->call : AAX_ERROR_NULL_OBJECT

AAX_Result AAX_VTransport::GetCurrentTempo(double* outBPM) const { AAX_FORWARD(GetCurrentTempo(outBPM)); }
AAX_Result AAX_VTransport::GetCurrentMeter(int32_t* outNumerator, int32_t* outDenominator) const {
  AAX_FORWARD(GetCurrentMeter(outNumerator, outDenominator));
}
// Booleans cross the boundary as one byte.
AAX_Result AAX_VTransport::IsTransportPlaying(bool* outIsPlaying) const {
  if (!mTransport) return AAX_ERROR_NULL_OBJECT;
  AAX_CBoolean playing = 0;
  const AAX_Result result = mTransport->IsTransportPlaying(&playing);
  if (outIsPlaying) *outIsPlaying = playing != 0;
  return result;
}
AAX_Result AAX_VTransport::GetCurrentTickPosition(int64_t* outTicks) const {
  AAX_FORWARD(GetCurrentTickPosition(outTicks));
}
AAX_Result AAX_VTransport::GetCurrentLoopPosition(bool* outLooping, int64_t* outStartTick,
                                                  int64_t* outEndTick) const {
  if (!mTransport) return AAX_ERROR_NULL_OBJECT;
  AAX_CBoolean looping = 0;
  const AAX_Result result = mTransport->GetCurrentLoopPosition(&looping, outStartTick, outEndTick);
  if (outLooping) *outLooping = looping != 0;
  return result;
}
AAX_Result AAX_VTransport::GetCurrentNativeSampleLocation(int64_t* outSampleLocation) const {
  AAX_FORWARD(GetCurrentNativeSampleLocation(outSampleLocation));
}
AAX_Result AAX_VTransport::GetCustomTickPosition(int64_t* outTicks, int64_t sampleLocation) const {
  AAX_FORWARD(GetCustomTickPosition(outTicks, sampleLocation));
}
AAX_Result AAX_VTransport::GetBarBeatPosition(int32_t* outBars, int32_t* outBeats, int64_t* outDisplayTicks,
                                              int64_t sampleLocation) const {
  AAX_FORWARD(GetBarBeatPosition(outBars, outBeats, outDisplayTicks, sampleLocation));
}
AAX_Result AAX_VTransport::GetTicksPerQuarter(uint32_t* outTicks) const { AAX_FORWARD(GetTicksPerQuarter(outTicks)); }
AAX_Result AAX_VTransport::GetCurrentTicksPerBeat(uint32_t* outTicks) const {
  AAX_FORWARD(GetCurrentTicksPerBeat(outTicks));
}

#undef AAX_FORWARD
