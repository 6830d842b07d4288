#pragma once
#include "aax-library/ACFModel.h"
#include "aax-library/AAX_Types.h"

// Module-side view of a host property map.
class AAX_IPropertyMap {
public:
  virtual ~AAX_IPropertyMap() = default;
  virtual AAX_CBoolean GetProperty(AAX_EProperty property, AAX_CPropertyValue* outValue) const = 0;
  virtual AAX_Result AddProperty(AAX_EProperty property, AAX_CPropertyValue value) = 0;
  virtual AAX_Result RemoveProperty(AAX_EProperty property) = 0;
  virtual IACFUnknown* GetIUnknown() const = 0;  // the host's object, or null
};
