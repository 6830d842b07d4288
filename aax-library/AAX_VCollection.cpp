#include "aax-library/AAX_VCollection.h"

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"

AAX_VCollection::AAX_VCollection(IACFUnknown* hostObject)
    : mHostObject(AAX_ACFPtr<IACFUnknown>::Share(hostObject)),
      mDescriptionHost(AAX_ACFPtr<AAX_IACFDescriptionHost>::Query(hostObject, IID_IAAXDescriptionHostV1)),
      mFeatureInfo(AAX_ACFPtr<AAX_IACFFeatureInfo>::Query(hostObject, IID_IAAXFeatureInfoV1)),
      mFactory(AAX_ACFPtr<IACFComponentFactory>::Query(hostObject, IID_IACFComponentFactory)),
      mCollection(AAX_ACFPtr<AAX_IACFCollection>::Create(mFactory.Get(), AAXCompID_AAXCollection,
                                                         IID_IAAXCollectionV1)) {}

// Descriptors go before the host interfaces they were made from.
AAX_VCollection::~AAX_VCollection() {
  mEffects.clear();
  mPropertyMaps.clear();
  mCollection.Reset();
  mFactory.Reset();
  mFeatureInfo.Reset();
  mDescriptionHost.Reset();
  mHostObject.Reset();
}

AAX_IEffectDescriptor* AAX_VCollection::NewDescriptor() {
  if (!mFactory) return nullptr;
  auto effect = std::make_unique<AAX_VEffectDescriptor>(mFactory.Get());
  if (!effect->GetIUnknown()) return nullptr;
  mEffects.push_back(std::move(effect));
  return mEffects.back().get();
}

AAX_Result AAX_VCollection::AddEffect(const char* effectID, AAX_IEffectDescriptor* effectDescriptor) {
  if (!mCollection) return AAX_ERROR_NULL_OBJECT;
  return mCollection->AddEffect(effectID, effectDescriptor ? effectDescriptor->GetIUnknown() : nullptr);
}

AAX_Result AAX_VCollection::SetManufacturerName(const char* name) {
  return mCollection ? mCollection->SetManufacturerName(name) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VCollection::AddPackageName(const char* name) {
  return mCollection ? mCollection->AddPackageName(name) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VCollection::SetPackageVersion(uint32_t version) {
  return mCollection ? mCollection->SetPackageVersion(version) : AAX_ERROR_NULL_OBJECT;
}

AAX_IPropertyMap* AAX_VCollection::NewPropertyMap() {
  auto map = std::make_unique<AAX_VPropertyMap>(mFactory.Get());
  if (!map->GetIUnknown()) return nullptr;
  mPropertyMaps.push_back(std::move(map));
  return mPropertyMaps.back().get();
}

AAX_Result AAX_VCollection::SetProperties(AAX_IPropertyMap* properties) {
  if (!mCollection) return AAX_ERROR_NULL_OBJECT;
  return mCollection->SetProperties(properties ? properties->GetIUnknown() : nullptr);
}
