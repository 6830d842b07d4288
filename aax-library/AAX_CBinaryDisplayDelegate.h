#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

#include "aax-library/AAX_DisplayText.h"
#include "aax-library/AAX_IDisplayDelegate.h"

// Off and on as two texts, with optional shorter pairs for hosts that show few characters.
template <typename T = bool>
class AAX_CBinaryDisplayDelegate : public AAX_IDisplayDelegate<T> {
public:
  AAX_CBinaryDisplayDelegate(const char* falseString, const char* trueString)
      : mFalseString(falseString), mTrueString(trueString),
        mMaxStrLength(std::max(mFalseString.Length(), mTrueString.Length())) {}

  AAX_CBinaryDisplayDelegate* Clone() const override { return new AAX_CBinaryDisplayDelegate(*this); }

  bool ValueToString(T value, AAX_CString* valueString) const override {
    if (!valueString) return false;
    *valueString = value ? mTrueString : mFalseString;
    return true;
  }

  // The longest pair that fits the maximum; the shortest pair when none fits.
  bool ValueToString(T value, int32_t maxNumChars, AAX_CString* valueString) const override {
    if (!valueString) return false;
    const uint32_t maxChars = aax_display::MaxChars(maxNumChars);
    if (mShortened.empty() || maxChars >= mMaxStrLength) return ValueToString(value, valueString);
    for (auto pair = mShortened.rbegin(); pair != mShortened.rend(); ++pair) {
      if (pair->length <= maxChars) {
        *valueString = value ? pair->trueString : pair->falseString;
        return true;
      }
    }
    *valueString = value ? mShortened.front().trueString : mShortened.front().falseString;
    return true;
  }

  bool StringToValue(const AAX_CString& valueString, T* value) const override {
    if (!value) return false;
    if (valueString == mTrueString) {
      *value = static_cast<T>(true);
      return true;
    }
    *value = static_cast<T>(false);
    return valueString == mFalseString;
  }

  void AddShortenedStrings(const char* falseString, const char* trueString, int32_t length) {
    mShortened.push_back({AAX_CString(falseString), AAX_CString(trueString),
                          static_cast<uint32_t>(std::max<int32_t>(length, 0))});
    std::stable_sort(mShortened.begin(), mShortened.end(),
                     [](const Shortened& a, const Shortened& b) { return a.length < b.length; });
  }

private:
  struct Shortened {
    AAX_CString falseString;
    AAX_CString trueString;
    uint32_t length;
  };

  AAX_CString mFalseString;
  AAX_CString mTrueString;
  uint32_t mMaxStrLength;
  std::vector<Shortened> mShortened;  // ascending length
};
