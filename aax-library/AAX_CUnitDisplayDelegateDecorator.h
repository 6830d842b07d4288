#pragma once
#include <string_view>

#include "aax-library/AAX_DisplayText.h"
#include "aax-library/AAX_IDisplayDelegateDecorator.h"

// The inner delegate's text followed directly by a unit ("3.00dB"). A maximum length that
// leaves no room for the whole unit drops the unit.
template <typename T>
class AAX_CUnitDisplayDelegateDecorator : public AAX_IDisplayDelegateDecorator<T> {
public:
  AAX_CUnitDisplayDelegateDecorator(const AAX_IDisplayDelegate<T>& inner, const AAX_CString& unitString)
      : AAX_IDisplayDelegateDecorator<T>(inner), mUnitString(unitString) {}

  AAX_CUnitDisplayDelegateDecorator* Clone() const override { return new AAX_CUnitDisplayDelegateDecorator(*this); }

  bool ValueToString(T value, AAX_CString* valueString) const override {
    const bool ok = this->Inner().ValueToString(value, valueString);
    if (valueString) valueString->Append(mUnitString.StdString());
    return ok;
  }

  bool ValueToString(T value, int32_t maxNumChars, AAX_CString* valueString) const override {
    const bool ok = this->Inner().ValueToString(value, maxNumChars, valueString);
    if (!valueString) return ok;
    const uint32_t maxChars = aax_display::MaxChars(maxNumChars);
    const uint32_t length = valueString->Length();
    if (length < maxChars && maxChars - length >= mUnitString.Length()) {
      valueString->Append(mUnitString.StdString());
    }
    return ok;
  }

  // A text that ends with the unit is read without it; any other text is read whole.
  bool StringToValue(const AAX_CString& valueString, T* value) const override {
    if (mUnitString.Length() >= valueString.Length() || !valueString.EndsWith(mUnitString.StdString())) {
      return this->Inner().StringToValue(valueString, value);
    }
    const AAX_CString number = valueString.SubString(0, valueString.Length() - mUnitString.Length());
    return this->Inner().StringToValue(number, value);
  }

  const AAX_CString& UnitString() const { return mUnitString; }

private:
  AAX_CString mUnitString;
};
