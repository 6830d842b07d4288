#include "aax-library/AAX_VAutomationDelegate.h"

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"

AAX_VAutomationDelegate::AAX_VAutomationDelegate(IACFUnknown* hostContext)
    : mDelegate(AAX_ACFPtr<AAX_IACFAutomationDelegate>::Query(hostContext, IID_IAAXAutomationDelegateV1)) {}

#define AAX_FORWARD(call) return mDelegate ? mDelegate->call : AAX_ERROR_NULL_OBJECT

AAX_Result AAX_VAutomationDelegate::RegisterParameter(AAX_CParamID parameterID) {
  AAX_FORWARD(RegisterParameter(parameterID));
}
AAX_Result AAX_VAutomationDelegate::UnregisterParameter(AAX_CParamID parameterID) {
  AAX_FORWARD(UnregisterParameter(parameterID));
}
AAX_Result AAX_VAutomationDelegate::PostSetValueRequest(AAX_CParamID parameterID, double normalizedValue) const {
  AAX_FORWARD(PostSetValueRequest(parameterID, normalizedValue));
}
AAX_Result AAX_VAutomationDelegate::PostCurrentValue(AAX_CParamID parameterID, double normalizedValue) const {
  AAX_FORWARD(PostCurrentValue(parameterID, normalizedValue));
}
AAX_Result AAX_VAutomationDelegate::PostTouchRequest(AAX_CParamID parameterID) {
  AAX_FORWARD(PostTouchRequest(parameterID));
}
AAX_Result AAX_VAutomationDelegate::PostReleaseRequest(AAX_CParamID parameterID) {
  AAX_FORWARD(PostReleaseRequest(parameterID));
}
AAX_Result AAX_VAutomationDelegate::GetTouchState(AAX_CParamID parameterID, AAX_CBoolean* outTouched) {
  AAX_FORWARD(GetTouchState(parameterID, outTouched));
}

#undef AAX_FORWARD
