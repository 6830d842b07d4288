#pragma once
#include "aax-library/ACFModel.h"
#include "aax-library/AAX_Types.h"

// Numbered properties of a component or effect.
class AAX_IACFPropertyMap : public IACFUnknown {
public:
  // Host main thread, during registration.
  virtual AAX_CBoolean GetProperty(int32_t property, AAX_CPropertyValue* outValue) const = 0;
  virtual AAX_Result AddProperty(int32_t property, AAX_CPropertyValue value) = 0;
  virtual AAX_Result RemoveProperty(int32_t property) = 0;

protected:
  ~AAX_IACFPropertyMap() = default;
};
