#pragma once
#include "aax-library/AAX_IString.h"
#include "aax-library/AAX_Types.h"

// Module-side view of the host controller; see AAX_IACFController.
class AAX_IController {
public:
  virtual ~AAX_IController() = default;
  virtual AAX_Result GetEffectID(AAX_IString* outEffectID) const = 0;
  virtual AAX_Result GetSampleRate(AAX_CSampleRate* outSampleRate) const = 0;
  virtual AAX_Result GetInputStemFormat(AAX_EStemFormat* outFormat) const = 0;
  virtual AAX_Result GetOutputStemFormat(AAX_EStemFormat* outFormat) const = 0;
  virtual AAX_Result GetSignalLatency(int32_t* outSamples) const = 0;
  virtual AAX_Result SetSignalLatency(int32_t samples) = 0;
  virtual AAX_Result GetTODLocation(AAX_CTimestamp* outLocation) const = 0;
  virtual AAX_Result PostPacket(AAX_CFieldIndex index, const void* data, uint32_t size) = 0;
  virtual AAX_Result GetCurrentMeterValue(AAX_CTypeID meterID, float* outValue) const = 0;
  virtual AAX_Result GetMeterCount(uint32_t* outCount) const = 0;
  virtual AAX_Result GetIsAudioSuite(AAX_CBoolean* outIsAudioSuite) const = 0;
  virtual AAX_Result GetHostName(AAX_IString* outName) const = 0;
};
