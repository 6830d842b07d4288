#include "host/aax/Transport.h"

#include <cmath>

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"

namespace aaxhost {

ACFRESULT Transport::QueryInterface(const acfIID& iid, void** out) {
  if (!out) return ACF_E_POINTER;
  *out = nullptr;
  if (iid != IID_IACFUnknown && iid != IID_IAAXTransportV1) return ACF_E_NOINTERFACE;
  *out = static_cast<AAX_IACFTransport*>(this);
  AddRef();
  return ACF_OK;
}

AAX_Result Transport::GetCurrentTempo(double* outBPM) const {
  if (!outBPM) return AAX_ERROR_NULL_ARGUMENT;
  *outBPM = mTempo.load();
  return AAX_SUCCESS;
}

AAX_Result Transport::GetCurrentMeter(int32_t* outNumerator, int32_t* outDenominator) const {
  if (!outNumerator || !outDenominator) return AAX_ERROR_NULL_ARGUMENT;
  *outNumerator = mNumerator.load();
  *outDenominator = mDenominator.load();
  return AAX_SUCCESS;
}

AAX_Result Transport::IsTransportPlaying(AAX_CBoolean* outIsPlaying) const {
  if (!outIsPlaying) return AAX_ERROR_NULL_ARGUMENT;
  *outIsPlaying = mPlaying.load() ? 1 : 0;
  return AAX_SUCCESS;
}

AAX_Result Transport::GetCurrentTickPosition(int64_t* outTicks) const {
  if (!outTicks) return AAX_ERROR_NULL_ARGUMENT;
  *outTicks = mTicks.load();
  return AAX_SUCCESS;
}

AAX_Result Transport::GetCurrentLoopPosition(AAX_CBoolean* outLooping, int64_t* outStartTick, int64_t* outEndTick) const {
  if (!outLooping || !outStartTick || !outEndTick) return AAX_ERROR_NULL_ARGUMENT;
  *outLooping = mLooping.load() ? 1 : 0;
  *outStartTick = mLoopStart.load();
  *outEndTick = mLoopEnd.load();
  return AAX_SUCCESS;
}

AAX_Result Transport::GetCurrentNativeSampleLocation(int64_t* outSampleLocation) const {
  if (!outSampleLocation) return AAX_ERROR_NULL_ARGUMENT;
  *outSampleLocation = mSamples.load();
  return AAX_SUCCESS;
}

AAX_Result Transport::GetCustomTickPosition(int64_t* outTicks, int64_t sampleLocation) const {
  if (!outTicks) return AAX_ERROR_NULL_ARGUMENT;
  const double quarters = static_cast<double>(sampleLocation) / mSampleRate.load() * mTempo.load() / 60.0;
  *outTicks = static_cast<int64_t>(std::llround(quarters * kTicksPerQuarter));
  return AAX_SUCCESS;
}

AAX_Result Transport::GetBarBeatPosition(int32_t* outBars, int32_t* outBeats, int64_t* outDisplayTicks,
                                         int64_t sampleLocation) const {
  if (!outBars || !outBeats || !outDisplayTicks) return AAX_ERROR_NULL_ARGUMENT;
  int64_t ticks = 0;
  GetCustomTickPosition(&ticks, sampleLocation);
  const int32_t denominator = mDenominator.load() > 0 ? mDenominator.load() : 4;
  const int64_t ticksPerBeat = kTicksPerQuarter * 4 / denominator;
  const int64_t beatsPerBar = mNumerator.load() > 0 ? mNumerator.load() : 4;
  const int64_t beat = ticks >= 0 ? ticks / ticksPerBeat : (ticks - ticksPerBeat + 1) / ticksPerBeat;
  *outBars = static_cast<int32_t>((beat >= 0 ? beat / beatsPerBar : (beat - beatsPerBar + 1) / beatsPerBar) + 1);
  *outBeats = static_cast<int32_t>(((beat % beatsPerBar) + beatsPerBar) % beatsPerBar + 1);
  *outDisplayTicks = ticks - beat * ticksPerBeat;
  return AAX_SUCCESS;
}

AAX_Result Transport::GetTicksPerQuarter(uint32_t* outTicks) const {
  if (!outTicks) return AAX_ERROR_NULL_ARGUMENT;
  *outTicks = static_cast<uint32_t>(kTicksPerQuarter);
  return AAX_SUCCESS;
}

AAX_Result Transport::GetCurrentTicksPerBeat(uint32_t* outTicks) const {
  if (!outTicks) return AAX_ERROR_NULL_ARGUMENT;
  const int32_t denominator = mDenominator.load() > 0 ? mDenominator.load() : 4;
  *outTicks = static_cast<uint32_t>(kTicksPerQuarter * 4 / denominator);
  return AAX_SUCCESS;
}

void Transport::Advance(int64_t samples) {
  const double quarters = static_cast<double>(samples) / mSampleRate.load() * mTempo.load() / 60.0;
  mSamples.fetch_add(samples);
  mTicks.fetch_add(static_cast<int64_t>(std::llround(quarters * kTicksPerQuarter)));
}

AAX_Result Transport::ViewAdapter::IsTransportPlaying(bool* outIsPlaying) const {
  AAX_CBoolean playing = 0;
  const AAX_Result result = mTransport.IsTransportPlaying(&playing);
  if (outIsPlaying) *outIsPlaying = playing != 0;
  return result;
}

AAX_Result Transport::ViewAdapter::GetCurrentLoopPosition(bool* outLooping, int64_t* start, int64_t* end) const {
  AAX_CBoolean looping = 0;
  const AAX_Result result = mTransport.GetCurrentLoopPosition(&looping, start, end);
  if (outLooping) *outLooping = looping != 0;
  return result;
}

}  // namespace aaxhost
