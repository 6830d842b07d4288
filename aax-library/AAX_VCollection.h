#pragma once
#include <memory>
#include <vector>

#include "aax-library/AAX_ACFPtr.h"
#include "aax-library/AAX_IACFCollection.h"
#include "aax-library/AAX_IACFDescriptionHost.h"
#include "aax-library/AAX_ICollection.h"
#include "aax-library/AAX_VEffectDescriptor.h"
#include "aax-library/AAX_VPropertyMap.h"

// The collection a description fills: takes a reference to the host object, asks it for the
// description-host interfaces and, through its component factory, creates the host's
// collection object. Owns the effect descriptors and property maps made through it and
// releases every host interface when destroyed. Every call gives AAX_ERROR_NULL_OBJECT when
// the host made no collection.
class AAX_VCollection : public AAX_ICollection {
public:
  explicit AAX_VCollection(IACFUnknown* hostObject);
  ~AAX_VCollection() override;
  AAX_VCollection(const AAX_VCollection&) = delete;
  AAX_VCollection& operator=(const AAX_VCollection&) = delete;

  AAX_IEffectDescriptor* NewDescriptor() override;
  AAX_Result AddEffect(const char* effectID, AAX_IEffectDescriptor* effectDescriptor) override;
  AAX_Result SetManufacturerName(const char* name) override;
  AAX_Result AddPackageName(const char* name) override;
  AAX_Result SetPackageVersion(uint32_t version) override;
  AAX_IPropertyMap* NewPropertyMap() override;
  AAX_Result SetProperties(AAX_IPropertyMap* properties) override;
  AAX_IACFDescriptionHost* DescriptionHost() const override { return mDescriptionHost.Get(); }
  AAX_IACFFeatureInfo* FeatureInfo() const { return mFeatureInfo.Get(); }

  // The host's collection object (null when it made none).
  IACFUnknown* GetIUnknown() const { return mCollection.Get(); }

private:
  AAX_ACFPtr<IACFUnknown> mHostObject;
  AAX_ACFPtr<AAX_IACFDescriptionHost> mDescriptionHost;
  AAX_ACFPtr<AAX_IACFFeatureInfo> mFeatureInfo;
  AAX_ACFPtr<IACFComponentFactory> mFactory;
  AAX_ACFPtr<AAX_IACFCollection> mCollection;
  std::vector<std::unique_ptr<AAX_VEffectDescriptor>> mEffects;
  std::vector<std::unique_ptr<AAX_VPropertyMap>> mPropertyMaps;
};
