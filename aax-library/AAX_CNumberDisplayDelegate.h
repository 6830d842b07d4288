#pragma once
#include <cstdint>
#include <cstdio>

#include "aax-library/AAX_DisplayText.h"
#include "aax-library/AAX_IDisplayDelegate.h"

// A value as a fixed-point number with Precision decimals.
template <typename T, uint32_t Precision = 2>
class AAX_CNumberDisplayDelegate : public AAX_IDisplayDelegate<T> {
public:
  AAX_CNumberDisplayDelegate* Clone() const override { return new AAX_CNumberDisplayDelegate(*this); }

  bool ValueToString(T value, AAX_CString* valueString) const override {
    if (!valueString) return false;
    // Large enough for any double in fixed notation.
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", static_cast<int>(Precision), static_cast<double>(value));
    valueString->Set(text);
    return true;
  }

  // Cut to the maximum; a cut that ends on the decimal point drops the point too.
  bool ValueToString(T value, int32_t maxNumChars, AAX_CString* valueString) const override {
    if (!ValueToString(value, valueString)) return false;
    const uint32_t maxChars = aax_display::MaxChars(maxNumChars);
    if (valueString->Length() > maxChars) valueString->Erase(maxChars, valueString->Length() - maxChars);
    if (maxChars > 0 && valueString->Length() == maxChars && valueString->Get()[maxChars - 1] == '.') {
      valueString->Erase(maxChars - 1, 1);
    }
    return true;
  }

  bool StringToValue(const AAX_CString& valueString, T* value) const override {
    if (!value) return false;
    double number = 0.0;
    if (!aax_display::ReadNumber(valueString, &number)) {
      *value = T();
      return false;
    }
    *value = aax_display::FromNumber<T>(number);
    return true;
  }
};
