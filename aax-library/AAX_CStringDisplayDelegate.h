#pragma once
#include <map>

#include "aax-library/AAX_IDisplayDelegate.h"

// Named values: each value shows its text; a text reads back as its value. A value without a
// text shows "String Not Found".
template <typename T>
class AAX_CStringDisplayDelegate : public AAX_IDisplayDelegate<T> {
public:
  explicit AAX_CStringDisplayDelegate(const std::map<T, AAX_CString>& valueToString)
      : mValueToString(valueToString) {
    // Of several values with the same text, the smallest reads back.
    for (const auto& [value, text] : mValueToString) mStringToValue.emplace(text.StdString(), value);
  }

  AAX_CStringDisplayDelegate* Clone() const override { return new AAX_CStringDisplayDelegate(*this); }

  bool ValueToString(T value, AAX_CString* valueString) const override {
    if (!valueString) return false;
    const auto found = mValueToString.find(value);
    if (found == mValueToString.end()) {
      valueString->Set("String Not Found");
      return false;
    }
    *valueString = found->second;
    return true;
  }

  // Texts are never shortened.
  bool ValueToString(T value, int32_t /*maxNumChars*/, AAX_CString* valueString) const override {
    return ValueToString(value, valueString);
  }

  bool StringToValue(const AAX_CString& valueString, T* value) const override {
    if (!value) return false;
    const auto found = mStringToValue.find(valueString.StdString());
    if (found == mStringToValue.end()) {
      *value = T();
      return false;
    }
    *value = found->second;
    return true;
  }

private:
  std::map<T, AAX_CString> mValueToString;
  std::map<std::string, T> mStringToValue;
};
