#pragma once
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <type_traits>

#include "aax-library/AAX_CHostServices.h"
#include "aax-library/AAX_CParameterValue.h"
#include "aax-library/AAX_IAutomationDelegate.h"
#include "aax-library/AAX_IParameter.h"

// A host parameter whose value has type T (bool, int32_t, float or double), with its own clones
// of a taper and a display delegate. Normalized values from outside are clamped to 0..1;
// a value that is not a number is ignored.
template <typename T>
class AAX_CParameter : public AAX_IParameter {
public:
  AAX_CParameter(AAX_CParamID identifier, const AAX_CString& name, T defaultValue,
                 const AAX_ITaperDelegate<T>& taper, const AAX_IDisplayDelegate<T>& display, bool automatable)
      : mName(name), mAutomatable(automatable), mTaper(taper.Clone()), mDisplay(display.Clone()),
        mValue(identifier, defaultValue), mDefaultValue(defaultValue) {
    if (!mValue.SetIdentifier(identifier)) {
      AAX_CHostServices::HandleAssertFailure(AAX_SourceFileName(__FILE__), __LINE__,
                                             "len < eParemeterDefaultMaxIdentifierSize");
    }
    InitializeNumberOfSteps();
    SetToDefaultValue();
  }

  ~AAX_CParameter() override { SetAutomationDelegate(nullptr); }
  AAX_CParameter(const AAX_CParameter&) = delete;
  AAX_CParameter& operator=(const AAX_CParameter&) = delete;

  AAX_IParameterValue* CloneValue() const override { return mValue.Clone(); }
  AAX_CParamID Identifier() const override { return mValue.Identifier(); }
  void SetName(const AAX_CString& name) override { mName = name; }
  const AAX_CString& Name() const override { return mName; }

  void AddShortenedName(const AAX_CString& name) override {
    mShortenedNames[static_cast<int32_t>(name.Length())] = name;
  }
  // The longest shortened name that fits, else the shortest one; the name when there are none.
  const AAX_CString& ShortenedName(int32_t length) const override {
    if (mShortenedNames.empty()) return mName;
    auto fit = mShortenedNames.upper_bound(length);
    if (fit == mShortenedNames.begin()) return fit->second;
    return std::prev(fit)->second;
  }
  void ClearShortenedNames() override { mShortenedNames.clear(); }
  bool Automatable() const override { return mAutomatable; }

  void SetAutomationDelegate(AAX_IAutomationDelegate* delegate) override {
    if (mAutomationDelegate) mAutomationDelegate->UnregisterParameter(Identifier());
    mAutomationDelegate = delegate;
    if (mAutomationDelegate) mAutomationDelegate->RegisterParameter(Identifier());
  }
  void Touch() override {
    if (mAutomationDelegate) mAutomationDelegate->PostTouchRequest(Identifier());
  }
  void Release() override {
    if (mAutomationDelegate) mAutomationDelegate->PostReleaseRequest(Identifier());
  }

  void SetNormalizedValue(double normalizedValue) override {
    if (std::isnan(normalizedValue)) return;
    SetValue(mTaper->NormalizedToReal(Clamp01(normalizedValue)));
  }
  double GetNormalizedValue() const override { return mTaper->RealToNormalized(mValue.Get()); }
  void SetNormalizedDefaultValue(double normalizedDefault) override {
    if (std::isnan(normalizedDefault)) return;
    mDefaultValue = mTaper->ConstrainRealValue(mTaper->NormalizedToReal(Clamp01(normalizedDefault)));
  }
  double GetNormalizedDefaultValue() const override { return mTaper->RealToNormalized(mDefaultValue); }
  void SetToDefaultValue() override { SetValue(mDefaultValue); }

  void UpdateNormalizedValue(double normalizedValue) override {
    if (std::isnan(normalizedValue)) return;
    normalizedValue = Clamp01(normalizedValue);
    const T newValue = mTaper->NormalizedToReal(normalizedValue);
    // Hosts update a value from several threads at once; each update is whole, and one that
    // changes nothing is not passed on unless a notification is owed.
    if (!mNeedNotify.load(std::memory_order_acquire) && newValue == mValue.Get()) return;
    mValue.Set(newValue);
    mNeedNotify.store(false, std::memory_order_release);
    if (mAutomationDelegate) mAutomationDelegate->PostCurrentValue(Identifier(), normalizedValue);
  }

  void SetNumberOfSteps(uint32_t numSteps) override {
    if (numSteps == 0) {
      AAX_CHostServices::HandleAssertFailure(AAX_SourceFileName(__FILE__), __LINE__, "0 < numSteps");
      return;
    }
    mNumSteps = numSteps;
  }
  uint32_t GetNumberOfSteps() const override { return mNumSteps; }
  uint32_t GetStepValue() const override { return GetStepValueFromNormalizedValue(GetNormalizedValue()); }
  double GetNormalizedValueFromStep(uint32_t step) const override {
    if (mNumSteps < 2) return 0.0;
    return Clamp01(static_cast<double>(step) / static_cast<double>(mNumSteps - 1));
  }
  uint32_t GetStepValueFromNormalizedValue(double normalizedValue) const override {
    if (mNumSteps < 2 || std::isnan(normalizedValue)) return 0;
    const double last = static_cast<double>(mNumSteps - 1);
    const double step = std::clamp(normalizedValue * last + 0.5, 0.0, last);
    return static_cast<uint32_t>(step);
  }
  void SetStepValue(uint32_t step) override {
    if (mNumSteps < 2) return;
    SetNormalizedValue(GetNormalizedValueFromStep(step));
  }
  void SetType(AAX_EParameterType type) override { mType = type; }
  AAX_EParameterType GetType() const override { return mType; }
  void SetOrientation(AAX_EParameterOrientation orientation) override { mOrientation = orientation; }
  AAX_EParameterOrientation GetOrientation() const override { return mOrientation; }

  bool GetValueString(AAX_CString* valueString) const override {
    return mDisplay->ValueToString(mValue.Get(), valueString);
  }
  bool GetValueString(int32_t maxNumChars, AAX_CString* valueString) const override {
    return mDisplay->ValueToString(mValue.Get(), maxNumChars, valueString);
  }
  bool GetStringFromNormalizedValue(double normalizedValue, AAX_CString& valueString) const override {
    return mDisplay->ValueToString(mTaper->NormalizedToReal(Clamp01(normalizedValue)), &valueString);
  }
  bool GetStringFromNormalizedValue(double normalizedValue, int32_t maxNumChars,
                                    AAX_CString& valueString) const override {
    return mDisplay->ValueToString(mTaper->NormalizedToReal(Clamp01(normalizedValue)), maxNumChars, &valueString);
  }
  bool GetNormalizedValueFromString(const AAX_CString& valueString, double* normalizedValue) const override {
    T value{};
    if (!normalizedValue || !mDisplay->StringToValue(valueString, &value)) return false;
    *normalizedValue = mTaper->RealToNormalized(value);
    return true;
  }
  bool SetValueFromString(const AAX_CString& valueString) override {
    T value{};
    if (!mDisplay->StringToValue(valueString, &value)) return false;
    SetValue(value);
    return true;
  }

  bool GetNormalizedValueFromBool(bool value, double* normalizedValue) const override {
    return NormalizedFrom(value, normalizedValue);
  }
  bool GetNormalizedValueFromInt32(int32_t value, double* normalizedValue) const override {
    return NormalizedFrom(value, normalizedValue);
  }
  bool GetNormalizedValueFromFloat(float value, double* normalizedValue) const override {
    return NormalizedFrom(value, normalizedValue);
  }
  bool GetNormalizedValueFromDouble(double value, double* normalizedValue) const override {
    return NormalizedFrom(value, normalizedValue);
  }
  bool GetBoolFromNormalizedValue(double normalizedValue, bool* value) const override {
    return RealFrom(normalizedValue, value);
  }
  bool GetInt32FromNormalizedValue(double normalizedValue, int32_t* value) const override {
    return RealFrom(normalizedValue, value);
  }
  bool GetFloatFromNormalizedValue(double normalizedValue, float* value) const override {
    return RealFrom(normalizedValue, value);
  }
  bool GetDoubleFromNormalizedValue(double normalizedValue, double* value) const override {
    return RealFrom(normalizedValue, value);
  }
  bool GetValueAsBool(bool* value) const override { return mValue.GetValueAsBool(value); }
  bool GetValueAsInt32(int32_t* value) const override { return mValue.GetValueAsInt32(value); }
  bool GetValueAsFloat(float* value) const override { return mValue.GetValueAsFloat(value); }
  bool GetValueAsDouble(double* value) const override { return mValue.GetValueAsDouble(value); }
  bool GetValueAsString(AAX_IString* value) const override {
    AAX_CString text;
    if (!value || !GetValueString(&text)) return false;
    value->Set(text.Get());
    return true;
  }
  bool SetValueWithBool(bool value) override { return SetTyped(value); }
  bool SetValueWithInt32(int32_t value) override { return SetTyped(value); }
  bool SetValueWithFloat(float value) override { return SetTyped(value); }
  bool SetValueWithDouble(double value) override { return SetTyped(value); }

  void SetTaperDelegate(AAX_ITaperDelegateBase& taper, bool preserveValue) override {
    auto* typed = dynamic_cast<AAX_ITaperDelegate<T>*>(&taper);
    if (!typed) {
      AAX_CHostServices::HandleAssertFailure(AAX_SourceFileName(__FILE__), __LINE__, "taper of the parameter's type");
      return;
    }
    const double normalized = GetNormalizedValue();
    mTaper.reset(typed->Clone());
    mNeedNotify.store(true, std::memory_order_release);
    if (preserveValue) {
      SetValue(mValue.Get());
    } else {
      SetNormalizedValue(normalized);
    }
  }

  void SetDisplayDelegate(AAX_IDisplayDelegateBase& display) override {
    auto* typed = dynamic_cast<AAX_IDisplayDelegate<T>*>(&display);
    if (!typed) {
      AAX_CHostServices::HandleAssertFailure(AAX_SourceFileName(__FILE__), __LINE__, "display of the parameter's type");
      return;
    }
    mDisplay.reset(typed->Clone());
    if (mAutomationDelegate) mAutomationDelegate->PostCurrentValue(Identifier(), GetNormalizedValue());
  }

  // Typed access for the plug-in's own code.
  T GetValue() const { return mValue.Get(); }
  T GetDefaultValue() const { return mDefaultValue; }
  const AAX_ITaperDelegate<T>& TaperDelegate() const { return *mTaper; }
  const AAX_IDisplayDelegate<T>& DisplayDelegate() const { return *mDisplay; }
  AAX_IAutomationDelegate* AutomationDelegate() const { return mAutomationDelegate; }

  // With an automation delegate the value becomes a request to the host, which answers through
  // UpdateNormalizedValue; without one it applies at once.
  void SetValue(T value) {
    const double normalized = mTaper->RealToNormalized(value);
    if (mAutomationDelegate) {
      Touch();
      mAutomationDelegate->PostSetValueRequest(Identifier(), normalized);
      Release();
    } else {
      mNeedNotify.store(true, std::memory_order_release);
      UpdateNormalizedValue(normalized);
    }
  }

private:
  static double Clamp01(double value) { return std::clamp(value, 0.0, 1.0); }

  void InitializeNumberOfSteps() {
    if (mType == AAX_eParameterType_Discrete) {
      mNumSteps = 2;
    } else if (mType == AAX_eParameterType_Continuous) {
      mNumSteps = 128;
    } else {
      AAX_CHostServices::HandleAssertFailure(AAX_SourceFileName(__FILE__), __LINE__, "0");
    }
  }

  template <typename U>
  bool NormalizedFrom(U value, double* normalizedValue) const {
    if constexpr (std::is_same_v<T, U>) {
      if (!normalizedValue) return false;
      *normalizedValue = mTaper->RealToNormalized(value);
      return true;
    } else {
      (void)value, (void)normalizedValue;
      return false;
    }
  }

  template <typename U>
  bool RealFrom(double normalizedValue, U* value) const {
    if constexpr (std::is_same_v<T, U>) {
      if (!value || std::isnan(normalizedValue)) return false;
      *value = mTaper->NormalizedToReal(Clamp01(normalizedValue));
      return true;
    } else {
      (void)normalizedValue, (void)value;
      return false;
    }
  }

  template <typename U>
  bool SetTyped(U value) {
    if constexpr (std::is_same_v<T, U>) {
      SetValue(value);
      return true;
    } else {
      (void)value;
      return false;
    }
  }

  AAX_CString mName;
  std::map<int32_t, AAX_CString> mShortenedNames;
  bool mAutomatable;
  uint32_t mNumSteps = 0;
  AAX_EParameterType mType = AAX_eParameterType_Continuous;
  AAX_EParameterOrientation mOrientation = AAX_eParameterOrientation_Default;
  std::unique_ptr<AAX_ITaperDelegate<T>> mTaper;
  std::unique_ptr<AAX_IDisplayDelegate<T>> mDisplay;
  AAX_IAutomationDelegate* mAutomationDelegate = nullptr;
  std::atomic<bool> mNeedNotify{true};  // the next update is passed on even when it changes nothing
  AAX_CParameterValue<T> mValue;
  T mDefaultValue;
};
