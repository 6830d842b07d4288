#pragma once
#include <cstdint>

#include "aax-library/AAX_CString.h"
#include "aax-library/AAX_IDisplayDelegate.h"
#include "aax-library/AAX_IParameterValue.h"
#include "aax-library/AAX_ITaperDelegate.h"
#include "aax-library/AAX_Types.h"

class AAX_IAutomationDelegate;

// One host parameter. The value is kept in real units; the host speaks normalized values and
// text. With an automation delegate installed, setting a value is a request to the host, and
// the value changes when the host answers through UpdateNormalizedValue.
// Host non-real-time threads and the editor's thread; never the real-time thread.
class AAX_IParameter {
public:
  virtual ~AAX_IParameter() = default;

  virtual AAX_IParameterValue* CloneValue() const = 0;  // caller owns the copy
  virtual AAX_CParamID Identifier() const = 0;
  virtual void SetName(const AAX_CString& name) = 0;
  virtual const AAX_CString& Name() const = 0;
  virtual void AddShortenedName(const AAX_CString& name) = 0;
  virtual const AAX_CString& ShortenedName(int32_t length) const = 0;
  virtual void ClearShortenedNames() = 0;
  virtual bool Automatable() const = 0;
  virtual void SetAutomationDelegate(AAX_IAutomationDelegate* delegate) = 0;
  virtual void Touch() = 0;
  virtual void Release() = 0;

  virtual void SetNormalizedValue(double normalizedValue) = 0;
  virtual double GetNormalizedValue() const = 0;
  virtual void SetNormalizedDefaultValue(double normalizedDefault) = 0;
  virtual double GetNormalizedDefaultValue() const = 0;
  virtual void SetToDefaultValue() = 0;
  // The host's answer to a set-value request.
  virtual void UpdateNormalizedValue(double normalizedValue) = 0;

  virtual void SetNumberOfSteps(uint32_t numSteps) = 0;
  virtual uint32_t GetNumberOfSteps() const = 0;
  virtual uint32_t GetStepValue() const = 0;
  virtual double GetNormalizedValueFromStep(uint32_t step) const = 0;
  virtual uint32_t GetStepValueFromNormalizedValue(double normalizedValue) const = 0;
  virtual void SetStepValue(uint32_t step) = 0;
  virtual void SetType(AAX_EParameterType type) = 0;
  virtual AAX_EParameterType GetType() const = 0;
  virtual void SetOrientation(AAX_EParameterOrientation orientation) = 0;
  virtual AAX_EParameterOrientation GetOrientation() const = 0;

  virtual bool GetValueString(AAX_CString* valueString) const = 0;
  virtual bool GetValueString(int32_t maxNumChars, AAX_CString* valueString) const = 0;
  virtual bool GetStringFromNormalizedValue(double normalizedValue, AAX_CString& valueString) const = 0;
  virtual bool GetStringFromNormalizedValue(double normalizedValue, int32_t maxNumChars,
                                            AAX_CString& valueString) const = 0;
  virtual bool GetNormalizedValueFromString(const AAX_CString& valueString, double* normalizedValue) const = 0;
  virtual bool SetValueFromString(const AAX_CString& valueString) = 0;

  // Typed conversions: each succeeds only for the parameter's own value type.
  virtual bool GetNormalizedValueFromBool(bool value, double* normalizedValue) const = 0;
  virtual bool GetNormalizedValueFromInt32(int32_t value, double* normalizedValue) const = 0;
  virtual bool GetNormalizedValueFromFloat(float value, double* normalizedValue) const = 0;
  virtual bool GetNormalizedValueFromDouble(double value, double* normalizedValue) const = 0;
  virtual bool GetBoolFromNormalizedValue(double normalizedValue, bool* value) const = 0;
  virtual bool GetInt32FromNormalizedValue(double normalizedValue, int32_t* value) const = 0;
  virtual bool GetFloatFromNormalizedValue(double normalizedValue, float* value) const = 0;
  virtual bool GetDoubleFromNormalizedValue(double normalizedValue, double* value) const = 0;
  virtual bool GetValueAsBool(bool* value) const = 0;
  virtual bool GetValueAsInt32(int32_t* value) const = 0;
  virtual bool GetValueAsFloat(float* value) const = 0;
  virtual bool GetValueAsDouble(double* value) const = 0;
  virtual bool GetValueAsString(AAX_IString* value) const = 0;
  virtual bool SetValueWithBool(bool value) = 0;
  virtual bool SetValueWithInt32(int32_t value) = 0;
  virtual bool SetValueWithFloat(float value) = 0;
  virtual bool SetValueWithDouble(double value) = 0;

  // Replace the delegates by clones of the given ones; a delegate of another value type is
  // refused (reported through the assertion channel, nothing changes).
  virtual void SetTaperDelegate(AAX_ITaperDelegateBase& taper, bool preserveValue) = 0;
  virtual void SetDisplayDelegate(AAX_IDisplayDelegateBase& display) = 0;
};
