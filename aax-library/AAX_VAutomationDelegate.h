#pragma once
#include "aax-library/AAX_ACFPtr.h"
#include "aax-library/AAX_IACFAutomationDelegate.h"
#include "aax-library/AAX_IAutomationDelegate.h"

// Forwards to the host's automation interface (asked from the host context).
// Every call gives AAX_ERROR_NULL_OBJECT when the host offers none.
class AAX_VAutomationDelegate : public AAX_IAutomationDelegate {
public:
  explicit AAX_VAutomationDelegate(IACFUnknown* hostContext);

  bool IsValid() const { return static_cast<bool>(mDelegate); }

  AAX_Result RegisterParameter(AAX_CParamID parameterID) override;
  AAX_Result UnregisterParameter(AAX_CParamID parameterID) override;
  AAX_Result PostSetValueRequest(AAX_CParamID parameterID, double normalizedValue) const override;
  AAX_Result PostCurrentValue(AAX_CParamID parameterID, double normalizedValue) const override;
  AAX_Result PostTouchRequest(AAX_CParamID parameterID) override;
  AAX_Result PostReleaseRequest(AAX_CParamID parameterID) override;
  AAX_Result GetTouchState(AAX_CParamID parameterID, AAX_CBoolean* outTouched) override;

private:
  AAX_ACFPtr<AAX_IACFAutomationDelegate> mDelegate;
};
