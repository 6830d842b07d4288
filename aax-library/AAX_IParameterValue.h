#pragma once
#include <cstdint>

#include "aax-library/AAX_IString.h"
#include "aax-library/AAX_Types.h"

// A parameter's identifier together with one value of the parameter's own type. Typed getters
// succeed (return true and fill their output) only for that type.
class AAX_IParameterValue {
public:
  virtual ~AAX_IParameterValue() = default;
  virtual AAX_IParameterValue* Clone() const = 0;
  virtual AAX_CParamID Identifier() const = 0;
  virtual bool GetValueAsBool(bool* value) const = 0;
  virtual bool GetValueAsInt32(int32_t* value) const = 0;
  virtual bool GetValueAsFloat(float* value) const = 0;
  virtual bool GetValueAsDouble(double* value) const = 0;
  virtual bool GetValueAsString(AAX_IString* value) const = 0;
};
