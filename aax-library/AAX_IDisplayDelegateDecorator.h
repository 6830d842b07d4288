#pragma once
#include <memory>

#include "aax-library/AAX_IDisplayDelegate.h"

// A display delegate that wraps another: it owns a clone of the inner delegate and forwards to
// it; subclasses change the text on its way.
template <typename T>
class AAX_IDisplayDelegateDecorator : public AAX_IDisplayDelegate<T> {
public:
  explicit AAX_IDisplayDelegateDecorator(const AAX_IDisplayDelegate<T>& inner) : mInner(inner.Clone()) {}
  AAX_IDisplayDelegateDecorator(const AAX_IDisplayDelegateDecorator& other)
      : AAX_IDisplayDelegate<T>(other), mInner(other.mInner->Clone()) {}
  AAX_IDisplayDelegateDecorator& operator=(const AAX_IDisplayDelegateDecorator&) = delete;

  AAX_IDisplayDelegateDecorator* Clone() const override { return new AAX_IDisplayDelegateDecorator(*this); }
  bool ValueToString(T value, int32_t maxNumChars, AAX_CString* valueString) const override {
    return mInner->ValueToString(value, maxNumChars, valueString);
  }
  bool ValueToString(T value, AAX_CString* valueString) const override {
    return mInner->ValueToString(value, valueString);
  }
  bool StringToValue(const AAX_CString& valueString, T* value) const override {
    return mInner->StringToValue(valueString, value);
  }

protected:
  const AAX_IDisplayDelegate<T>& Inner() const { return *mInner; }

private:
  std::unique_ptr<AAX_IDisplayDelegate<T>> mInner;
};
