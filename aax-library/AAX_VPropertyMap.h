#pragma once
#include "aax-library/AAX_ACFPtr.h"
#include "aax-library/AAX_IACFPropertyMap.h"
#include "aax-library/AAX_IPropertyMap.h"

// Forwards to a host property map created through the host's component factory.
// Every call gives AAX_ERROR_NULL_OBJECT when the host made no map.
class AAX_VPropertyMap : public AAX_IPropertyMap {
public:
  explicit AAX_VPropertyMap(IACFComponentFactory* factory);

  AAX_CBoolean GetProperty(AAX_EProperty property, AAX_CPropertyValue* outValue) const override;
  AAX_Result AddProperty(AAX_EProperty property, AAX_CPropertyValue value) override;
  AAX_Result RemoveProperty(AAX_EProperty property) override;
  IACFUnknown* GetIUnknown() const override { return mMap.Get(); }

private:
  AAX_ACFPtr<AAX_IACFPropertyMap> mMap;
};
