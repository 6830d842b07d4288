#pragma once
#include <atomic>
#include <cstring>
#include <type_traits>

#include "aax-library/AAX_CString.h"
#include "aax-library/AAX_IParameterValue.h"

// An identifier (at most 31 characters, longer ones are cut) and a value of type T.
// A number is held atomically: hosts read and write a parameter's value from several of their
// threads at once (automation, a state load, the editor's requests). Other types are for one
// thread at a time.
template <typename T>
class AAX_CParameterValue : public AAX_IParameterValue {
  using Storage = std::conditional_t<std::is_arithmetic_v<T>, std::atomic<T>, T>;

public:
  AAX_CParameterValue(AAX_CParamID identifier, const T& value) : mValue(value) { SetIdentifier(identifier); }
  AAX_CParameterValue(const AAX_CParameterValue& other) : mValue(other.Get()) {
    std::memcpy(mIdentifier, other.mIdentifier, sizeof mIdentifier);
  }
  AAX_CParameterValue& operator=(const AAX_CParameterValue&) = delete;

  AAX_CParameterValue* Clone() const override { return new AAX_CParameterValue(*this); }
  AAX_CParamID Identifier() const override { return mIdentifier; }

  bool GetValueAsBool(bool* value) const override { return GetAs(value); }
  bool GetValueAsInt32(int32_t* value) const override { return GetAs(value); }
  bool GetValueAsFloat(float* value) const override { return GetAs(value); }
  bool GetValueAsDouble(double* value) const override { return GetAs(value); }
  bool GetValueAsString(AAX_IString* value) const override {
    if constexpr (std::is_same_v<T, AAX_CString>) {
      if (!value) return false;
      value->Set(mValue.Get());
      return true;
    } else {
      (void)value;
      return false;
    }
  }

  // Any thread.
  T Get() const {
    if constexpr (std::is_arithmetic_v<T>) return mValue.load(std::memory_order_relaxed);
    else return mValue;
  }
  void Set(const T& value) {
    if constexpr (std::is_arithmetic_v<T>) mValue.store(value, std::memory_order_relaxed);
    else mValue = value;
  }

  // Returns false when the identifier had to be cut.
  bool SetIdentifier(AAX_CParamID identifier) {
    const std::size_t length = identifier ? std::strlen(identifier) : 0;
    const std::size_t kept = length < sizeof mIdentifier ? length : sizeof mIdentifier - 1;
    if (kept) std::memcpy(mIdentifier, identifier, kept);
    mIdentifier[kept] = '\0';
    return kept == length;
  }

private:
  template <typename U>
  bool GetAs(U* value) const {
    if constexpr (std::is_same_v<T, U>) {
      if (!value) return false;
      *value = Get();
      return true;
    } else {
      (void)value;
      return false;
    }
  }

  char mIdentifier[eParemeterDefaultMaxIdentifierSize] = {};
  Storage mValue;
};
