#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "aax-library/AAX_Callbacks.h"
#include "aax-library/AAX_IACFEffectDescriptor.h"
#include "host/aax/RefCount.h"

namespace aaxhost {

class ComponentDescriptor;
class Host;
class PropertyMap;

// An effect descriptor that records every call in order and keeps what they registered.
class EffectDescriptor final : public AAX_IACFEffectDescriptor {
public:
  EffectDescriptor(Host& host, std::string label);

  ACFRESULT QueryInterface(const acfIID& iid, void** out) override;
  AAXHOST_REFCOUNTED()
  AAX_Result AddComponent(IACFUnknown* componentDescriptor) override;
  AAX_Result AddName(const char* name) override;
  AAX_Result AddCategory(uint32_t category) override;
  AAX_Result AddCategoryBypassParameter(uint32_t category, AAX_CParamID parameter) override;
  AAX_Result AddProcPtr(void* procPtr, int32_t procID) override;
  AAX_Result SetProperties(IACFUnknown* propertyMap) override;
  AAX_Result AddResourceInfo(int32_t resourceType, const char* info) override;
  AAX_Result AddMeterDescription(AAX_CTypeID meterID, const char* name, IACFUnknown* propertyMap) override;

  const std::string& Label() const { return mLabel; }
  const std::vector<std::string>& Names() const { return mNames; }
  const std::vector<uint32_t>& Categories() const { return mCategories; }
  const std::vector<ComponentDescriptor*>& Components() const { return mComponents; }
  // The name a meter was described with; empty for a meter without a description.
  std::string MeterName(AAX_CTypeID meterID) const;
  // A registered creation function (AAX_EProcPtrID), or null.
  AAX_CCreateObjectProc CreateProc(int32_t procID) const;

private:
  Host& mHost;
  std::string mLabel;
  RefCount mRefs;
  std::vector<std::string> mNames;
  std::vector<uint32_t> mCategories;
  std::vector<ComponentDescriptor*> mComponents;
  std::map<int32_t, void*> mProcs;
  std::map<AAX_CTypeID, std::string> mMeterNames;
};

}  // namespace aaxhost
