#include "host/aax/AutomationDelegate.h"

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_IACFEffectParameters.h"
#include "aax-library/AAX_UIDs.h"
#include "host/aax/CallLog.h"

namespace aaxhost {

AutomationDelegate::AutomationDelegate(CallLog& log, std::string label) : mLog(log), mLabel(std::move(label)) {}

ACFRESULT AutomationDelegate::QueryInterface(const acfIID& iid, void** out) {
  if (!out) return ACF_E_POINTER;
  *out = nullptr;
  if (iid != IID_IACFUnknown && iid != IID_IAAXAutomationDelegateV1) return ACF_E_NOINTERFACE;
  *out = static_cast<AAX_IACFAutomationDelegate*>(this);
  AddRef();
  return ACF_OK;
}

AAX_Result AutomationDelegate::RegisterParameter(AAX_CParamID parameterID) {
  mLog.Add({mLabel, "RegisterParameter", {Text(parameterID)}});
  if (!parameterID) return AAX_ERROR_NULL_ARGUMENT;
  std::lock_guard lock(mMutex);
  mRegistered.insert(parameterID);
  return AAX_SUCCESS;
}

AAX_Result AutomationDelegate::UnregisterParameter(AAX_CParamID parameterID) {
  mLog.Add({mLabel, "UnregisterParameter", {Text(parameterID)}});
  if (!parameterID) return AAX_ERROR_NULL_ARGUMENT;
  std::lock_guard lock(mMutex);
  mRegistered.erase(parameterID);
  mTouched.erase(parameterID);
  return AAX_SUCCESS;
}

// The answer goes out without the lock held: the effect calls back into this object.
AAX_Result AutomationDelegate::PostSetValueRequest(AAX_CParamID parameterID, double normalizedValue) const {
  mLog.Add({mLabel, "PostSetValueRequest", {Text(parameterID), Number(normalizedValue)}});
  if (!parameterID) return AAX_ERROR_NULL_ARGUMENT;
  {
    std::lock_guard lock(mMutex);
    if (!mRegistered.count(parameterID)) return AAX_ERROR_INVALID_PARAMETER_ID;
    if (mRefused.count(parameterID)) return AAX_SUCCESS;
    if (mAnswerMode == AnswerMode::Queued) {
      mPending.emplace_back(parameterID, normalizedValue);
      return AAX_SUCCESS;
    }
  }
  Deliver(parameterID, normalizedValue);
  return AAX_SUCCESS;
}

void AutomationDelegate::Deliver(const std::string& parameterID, double normalizedValue) const {
  if (mEffect) mEffect->UpdateParameterNormalizedValue(parameterID.c_str(), normalizedValue, AAX_eUpdateSource_Parameter);
}

int AutomationDelegate::DeliverPending() {
  std::vector<std::pair<std::string, double>> pending;
  {
    std::lock_guard lock(mMutex);
    pending.swap(mPending);
  }
  for (const auto& [parameterID, value] : pending) Deliver(parameterID, value);
  return static_cast<int>(pending.size());
}

AAX_Result AutomationDelegate::PostCurrentValue(AAX_CParamID parameterID, double normalizedValue) const {
  mLog.Add({mLabel, "PostCurrentValue", {Text(parameterID), Number(normalizedValue)}});
  if (!parameterID) return AAX_ERROR_NULL_ARGUMENT;
  std::lock_guard lock(mMutex);
  mCurrentValues[parameterID] = normalizedValue;
  return AAX_SUCCESS;
}

AAX_Result AutomationDelegate::PostTouchRequest(AAX_CParamID parameterID) {
  mLog.Add({mLabel, "PostTouchRequest", {Text(parameterID)}});
  if (!parameterID) return AAX_ERROR_NULL_ARGUMENT;
  std::lock_guard lock(mMutex);
  mTouched.insert(parameterID);
  return AAX_SUCCESS;
}

AAX_Result AutomationDelegate::PostReleaseRequest(AAX_CParamID parameterID) {
  mLog.Add({mLabel, "PostReleaseRequest", {Text(parameterID)}});
  if (!parameterID) return AAX_ERROR_NULL_ARGUMENT;
  std::lock_guard lock(mMutex);
  mTouched.erase(parameterID);
  return AAX_SUCCESS;
}

AAX_Result AutomationDelegate::GetTouchState(AAX_CParamID parameterID, AAX_CBoolean* outTouched) {
  if (!parameterID || !outTouched) return AAX_ERROR_NULL_ARGUMENT;
  *outTouched = IsTouched(parameterID) ? 1 : 0;
  return AAX_SUCCESS;
}

std::set<std::string> AutomationDelegate::Registered() const {
  std::lock_guard lock(mMutex);
  return mRegistered;
}

std::map<std::string, double> AutomationDelegate::CurrentValues() const {
  std::lock_guard lock(mMutex);
  return mCurrentValues;
}

bool AutomationDelegate::IsTouched(const std::string& parameterID) const {
  std::lock_guard lock(mMutex);
  return mTouched.count(parameterID) != 0;
}

}  // namespace aaxhost
