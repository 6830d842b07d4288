#pragma once
#include <memory>
#include <vector>

#include "aax-library/AAX_ACFPtr.h"
#include "aax-library/AAX_IACFEffectDescriptor.h"
#include "aax-library/AAX_IEffectDescriptor.h"
#include "aax-library/AAX_VComponentDescriptor.h"
#include "aax-library/AAX_VPropertyMap.h"

// Forwards to a host effect descriptor created through the host's component factory; owns the
// component descriptors and property maps made through it. Every call gives
// AAX_ERROR_NULL_OBJECT when the host made no descriptor.
class AAX_VEffectDescriptor : public AAX_IEffectDescriptor {
public:
  explicit AAX_VEffectDescriptor(IACFComponentFactory* factory);
  ~AAX_VEffectDescriptor() override;

  AAX_IComponentDescriptor* NewComponentDescriptor() override;
  AAX_Result AddComponent(AAX_IComponentDescriptor* componentDescriptor) override;
  AAX_Result AddName(const char* name) override;
  AAX_Result AddCategory(uint32_t category) override;
  AAX_Result AddCategoryBypassParameter(uint32_t category, AAX_CParamID parameter) override;
  AAX_Result AddProcPtr(void* procPtr, AAX_EProcPtrID procID) override;
  AAX_IPropertyMap* NewPropertyMap() override;
  AAX_Result SetProperties(AAX_IPropertyMap* properties) override;
  AAX_Result AddResourceInfo(int32_t resourceType, const char* info) override;
  AAX_Result AddMeterDescription(AAX_CTypeID meterID, const char* name, AAX_IPropertyMap* properties) override;
  IACFUnknown* GetIUnknown() const override { return mDescriptor.Get(); }

private:
  AAX_ACFPtr<IACFComponentFactory> mFactory;
  AAX_ACFPtr<AAX_IACFEffectDescriptor> mDescriptor;
  std::vector<std::unique_ptr<AAX_VComponentDescriptor>> mComponents;
  std::vector<std::unique_ptr<AAX_VPropertyMap>> mPropertyMaps;
};
