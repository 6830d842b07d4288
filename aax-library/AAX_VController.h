#pragma once
#include "aax-library/AAX_ACFPtr.h"
#include "aax-library/AAX_IACFController.h"
#include "aax-library/AAX_IController.h"

// Forwards to the host controller of an instance (asked from the host context).
// Every call gives AAX_ERROR_NULL_OBJECT when the host offers none.
class AAX_VController : public AAX_IController {
public:
  explicit AAX_VController(IACFUnknown* hostContext);

  bool IsValid() const { return static_cast<bool>(mController); }

  AAX_Result GetEffectID(AAX_IString* outEffectID) const override;
  AAX_Result GetSampleRate(AAX_CSampleRate* outSampleRate) const override;
  AAX_Result GetInputStemFormat(AAX_EStemFormat* outFormat) const override;
  AAX_Result GetOutputStemFormat(AAX_EStemFormat* outFormat) const override;
  AAX_Result GetSignalLatency(int32_t* outSamples) const override;
  AAX_Result SetSignalLatency(int32_t samples) override;
  AAX_Result GetTODLocation(AAX_CTimestamp* outLocation) const override;
  AAX_Result PostPacket(AAX_CFieldIndex index, const void* data, uint32_t size) override;
  AAX_Result GetCurrentMeterValue(AAX_CTypeID meterID, float* outValue) const override;
  AAX_Result GetMeterCount(uint32_t* outCount) const override;
  AAX_Result GetIsAudioSuite(AAX_CBoolean* outIsAudioSuite) const override;
  AAX_Result GetHostName(AAX_IString* outName) const override;

private:
  AAX_ACFPtr<AAX_IACFController> mController;
};
