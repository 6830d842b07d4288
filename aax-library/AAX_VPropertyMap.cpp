#include "aax-library/AAX_VPropertyMap.h"

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"

AAX_VPropertyMap::AAX_VPropertyMap(IACFComponentFactory* factory)
    : mMap(AAX_ACFPtr<AAX_IACFPropertyMap>::Create(factory, AAXCompID_AAXPropertyMap, IID_IAAXPropertyMapV1)) {}

AAX_CBoolean AAX_VPropertyMap::GetProperty(AAX_EProperty property, AAX_CPropertyValue* outValue) const {
  if (!mMap || !outValue) return 0;
  return mMap->GetProperty(property, outValue);
}

AAX_Result AAX_VPropertyMap::AddProperty(AAX_EProperty property, AAX_CPropertyValue value) {
  return mMap ? mMap->AddProperty(property, value) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VPropertyMap::RemoveProperty(AAX_EProperty property) {
  return mMap ? mMap->RemoveProperty(property) : AAX_ERROR_NULL_OBJECT;
}
