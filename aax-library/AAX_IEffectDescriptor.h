#pragma once
#include "aax-library/ACFModel.h"
#include "aax-library/AAX_IComponentDescriptor.h"
#include "aax-library/AAX_IPropertyMap.h"
#include "aax-library/AAX_Types.h"

// Module-side view of a host effect descriptor; see AAX_IACFEffectDescriptor.
class AAX_IEffectDescriptor {
public:
  virtual ~AAX_IEffectDescriptor() = default;
  // A new component descriptor owned by this descriptor, or null when the host makes none.
  virtual AAX_IComponentDescriptor* NewComponentDescriptor() = 0;
  virtual AAX_Result AddComponent(AAX_IComponentDescriptor* componentDescriptor) = 0;
  virtual AAX_Result AddName(const char* name) = 0;
  virtual AAX_Result AddCategory(uint32_t category) = 0;
  virtual AAX_Result AddCategoryBypassParameter(uint32_t category, AAX_CParamID parameter) = 0;
  virtual AAX_Result AddProcPtr(void* procPtr, AAX_EProcPtrID procID) = 0;
  virtual AAX_IPropertyMap* NewPropertyMap() = 0;
  virtual AAX_Result SetProperties(AAX_IPropertyMap* properties) = 0;
  virtual AAX_Result AddResourceInfo(int32_t resourceType, const char* info) = 0;
  virtual AAX_Result AddMeterDescription(AAX_CTypeID meterID, const char* name,
                                         AAX_IPropertyMap* properties) = 0;
  virtual IACFUnknown* GetIUnknown() const = 0;
};
