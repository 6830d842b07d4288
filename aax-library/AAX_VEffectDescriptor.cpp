#include "aax-library/AAX_VEffectDescriptor.h"

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"

AAX_VEffectDescriptor::AAX_VEffectDescriptor(IACFComponentFactory* factory)
    : mFactory(AAX_ACFPtr<IACFComponentFactory>::Share(factory)),
      mDescriptor(AAX_ACFPtr<AAX_IACFEffectDescriptor>::Create(factory, AAXCompID_AAXEffectDescriptor,
                                                               IID_IAAXEffectDescriptorV1)) {}

AAX_VEffectDescriptor::~AAX_VEffectDescriptor() {
  mComponents.clear();
  mPropertyMaps.clear();
}

AAX_IComponentDescriptor* AAX_VEffectDescriptor::NewComponentDescriptor() {
  auto component = std::make_unique<AAX_VComponentDescriptor>(mFactory.Get());
  if (!component->GetIUnknown()) return nullptr;
  mComponents.push_back(std::move(component));
  return mComponents.back().get();
}

#define AAX_FORWARD(call) return mDescriptor ? mDescriptor->call : AAX_ERROR_NULL_OBJECT

AAX_Result AAX_VEffectDescriptor::AddComponent(AAX_IComponentDescriptor* componentDescriptor) {
  AAX_FORWARD(AddComponent(componentDescriptor ? componentDescriptor->GetIUnknown() : nullptr));
}
AAX_Result AAX_VEffectDescriptor::AddName(const char* name) { AAX_FORWARD(AddName(name)); }
AAX_Result AAX_VEffectDescriptor::AddCategory(uint32_t category) { AAX_FORWARD(AddCategory(category)); }
AAX_Result AAX_VEffectDescriptor::AddCategoryBypassParameter(uint32_t category, AAX_CParamID parameter) {
  AAX_FORWARD(AddCategoryBypassParameter(category, parameter));
}
AAX_Result AAX_VEffectDescriptor::AddProcPtr(void* procPtr, AAX_EProcPtrID procID) {
  AAX_FORWARD(AddProcPtr(procPtr, procID));
}
AAX_Result AAX_VEffectDescriptor::SetProperties(AAX_IPropertyMap* properties) {
  AAX_FORWARD(SetProperties(properties ? properties->GetIUnknown() : nullptr));
}
AAX_Result AAX_VEffectDescriptor::AddResourceInfo(int32_t resourceType, const char* info) {
  AAX_FORWARD(AddResourceInfo(resourceType, info));
}
AAX_Result AAX_VEffectDescriptor::AddMeterDescription(AAX_CTypeID meterID, const char* name,
                                                      AAX_IPropertyMap* properties) {
  AAX_FORWARD(AddMeterDescription(meterID, name, properties ? properties->GetIUnknown() : nullptr));
}

#undef AAX_FORWARD

AAX_IPropertyMap* AAX_VEffectDescriptor::NewPropertyMap() {
  auto map = std::make_unique<AAX_VPropertyMap>(mFactory.Get());
  if (!map->GetIUnknown()) return nullptr;
  mPropertyMaps.push_back(std::move(map));
  return mPropertyMaps.back().get();
}
