#pragma once
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "aax-library/AAX_IACFAutomationDelegate.h"
#include "host/aax/RefCount.h"

class AAX_IACFEffectParameters;

namespace aaxhost {

class CallLog;

// The host's automation system for one instance. Records every call. An accepted set-value
// request is answered like a real host does, with UpdateParameterNormalizedValue on the
// effect: at once, or (queued mode) when the test calls DeliverPending.
class AutomationDelegate : public AAX_IACFAutomationDelegate {
public:
  enum class AnswerMode { Immediately, Queued };

  explicit AutomationDelegate(CallLog& log, std::string label = "automation");

  ACFRESULT QueryInterface(const acfIID& iid, void** out) override;
  AAXHOST_REFCOUNTED()
  AAX_Result RegisterParameter(AAX_CParamID parameterID) override;
  AAX_Result UnregisterParameter(AAX_CParamID parameterID) override;
  AAX_Result PostSetValueRequest(AAX_CParamID parameterID, double normalizedValue) const override;
  AAX_Result PostCurrentValue(AAX_CParamID parameterID, double normalizedValue) const override;
  AAX_Result PostTouchRequest(AAX_CParamID parameterID) override;
  AAX_Result PostReleaseRequest(AAX_CParamID parameterID) override;
  AAX_Result GetTouchState(AAX_CParamID parameterID, AAX_CBoolean* outTouched) override;

  // The effect that receives the answers (not owned; null stops answering).
  void SetEffect(AAX_IACFEffectParameters* effect) { mEffect = effect; }
  void SetAnswerMode(AnswerMode mode) { mAnswerMode = mode; }
  // Requests for this identifier are refused (recorded, never answered).
  void RefuseWrites(const std::string& parameterID) { mRefused.insert(parameterID); }
  // Answers every queued request in order; returns how many were delivered.
  int DeliverPending();

  std::set<std::string> Registered() const;
  std::map<std::string, double> CurrentValues() const;  // newest PostCurrentValue per identifier
  bool IsTouched(const std::string& parameterID) const;

private:
  void Deliver(const std::string& parameterID, double normalizedValue) const;

  CallLog& mLog;
  std::string mLabel;
  RefCount mRefs;
  AAX_IACFEffectParameters* mEffect = nullptr;
  AnswerMode mAnswerMode = AnswerMode::Immediately;
  std::set<std::string> mRefused;
  mutable std::recursive_mutex mMutex;
  std::set<std::string> mRegistered;
  std::set<std::string> mTouched;
  mutable std::map<std::string, double> mCurrentValues;
  mutable std::vector<std::pair<std::string, double>> mPending;
};

}  // namespace aaxhost
