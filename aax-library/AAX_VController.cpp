#include "aax-library/AAX_VController.h"

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"

AAX_VController::AAX_VController(IACFUnknown* hostContext)
    : mController(AAX_ACFPtr<AAX_IACFController>::Query(hostContext, IID_IAAXControllerV1)) {}

#define AAX_FORWARD(call) return mController ? mController->call : AAX_ERROR_NULL_OBJECT

AAX_Result AAX_VController::GetEffectID(AAX_IString* outEffectID) const { AAX_FORWARD(GetEffectID(outEffectID)); }
AAX_Result AAX_VController::GetSampleRate(AAX_CSampleRate* outSampleRate) const {
  AAX_FORWARD(GetSampleRate(outSampleRate));
}
AAX_Result AAX_VController::GetInputStemFormat(AAX_EStemFormat* outFormat) const {
  AAX_FORWARD(GetInputStemFormat(outFormat));
}
AAX_Result AAX_VController::GetOutputStemFormat(AAX_EStemFormat* outFormat) const {
  AAX_FORWARD(GetOutputStemFormat(outFormat));
}
AAX_Result AAX_VController::GetSignalLatency(int32_t* outSamples) const { AAX_FORWARD(GetSignalLatency(outSamples)); }
AAX_Result AAX_VController::SetSignalLatency(int32_t samples) { AAX_FORWARD(SetSignalLatency(samples)); }
AAX_Result AAX_VController::GetTODLocation(AAX_CTimestamp* outLocation) const {
  AAX_FORWARD(GetTODLocation(outLocation));
}
AAX_Result AAX_VController::PostPacket(AAX_CFieldIndex index, const void* data, uint32_t size) {
  AAX_FORWARD(PostPacket(index, data, size));
}
AAX_Result AAX_VController::GetCurrentMeterValue(AAX_CTypeID meterID, float* outValue) const {
  AAX_FORWARD(GetCurrentMeterValue(meterID, outValue));
}
AAX_Result AAX_VController::GetMeterCount(uint32_t* outCount) const { AAX_FORWARD(GetMeterCount(outCount)); }
AAX_Result AAX_VController::GetIsAudioSuite(AAX_CBoolean* outIsAudioSuite) const {
  AAX_FORWARD(GetIsAudioSuite(outIsAudioSuite));
}
AAX_Result AAX_VController::GetHostName(AAX_IString* outName) const { AAX_FORWARD(GetHostName(outName)); }

#undef AAX_FORWARD
