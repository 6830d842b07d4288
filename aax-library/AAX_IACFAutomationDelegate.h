#pragma once
#include "aax-library/ACFModel.h"
#include "aax-library/AAX_Types.h"

// The host's automation system. A set-value request asks the host to change a parameter; the
// host answers an accepted one with UpdateParameterNormalizedValue on the effect.
class AAX_IACFAutomationDelegate : public IACFUnknown {
public:
  // Host non-real-time threads and the editor's thread.
  virtual AAX_Result RegisterParameter(AAX_CParamID parameterID) = 0;
  virtual AAX_Result UnregisterParameter(AAX_CParamID parameterID) = 0;
  virtual AAX_Result PostSetValueRequest(AAX_CParamID parameterID, double normalizedValue) const = 0;
  virtual AAX_Result PostCurrentValue(AAX_CParamID parameterID, double normalizedValue) const = 0;
  virtual AAX_Result PostTouchRequest(AAX_CParamID parameterID) = 0;
  virtual AAX_Result PostReleaseRequest(AAX_CParamID parameterID) = 0;
  virtual AAX_Result GetTouchState(AAX_CParamID parameterID, AAX_CBoolean* outTouched) = 0;

protected:
  ~AAX_IACFAutomationDelegate() = default;
};
