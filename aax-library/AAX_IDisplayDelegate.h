#pragma once
#include <cstdint>

#include "aax-library/AAX_CString.h"

// Converts a parameter's real values to and from the text a host shows.
class AAX_IDisplayDelegateBase {
public:
  virtual ~AAX_IDisplayDelegateBase() = default;
};

template <typename T>
class AAX_IDisplayDelegate : public AAX_IDisplayDelegateBase {
public:
  // An independent heap copy; the caller owns it.
  virtual AAX_IDisplayDelegate* Clone() const = 0;
  // Each returns whether the conversion succeeded.
  virtual bool ValueToString(T value, int32_t maxNumChars, AAX_CString* valueString) const = 0;
  virtual bool ValueToString(T value, AAX_CString* valueString) const = 0;
  virtual bool StringToValue(const AAX_CString& valueString, T* value) const = 0;
};
