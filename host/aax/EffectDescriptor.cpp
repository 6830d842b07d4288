#include "host/aax/EffectDescriptor.h"

#include <utility>

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"
#include "host/aax/CallLog.h"
#include "host/aax/ComponentDescriptor.h"
#include "host/aax/Host.h"
#include "host/aax/PropertyMap.h"

namespace aaxhost {

EffectDescriptor::EffectDescriptor(Host& host, std::string label) : mHost(host), mLabel(std::move(label)) {}

ACFRESULT EffectDescriptor::QueryInterface(const acfIID& iid, void** out) {
  if (!out) return ACF_E_POINTER;
  *out = nullptr;
  if (iid != IID_IACFUnknown && iid != IID_IAAXEffectDescriptorV1) return ACF_E_NOINTERFACE;
  *out = static_cast<AAX_IACFEffectDescriptor*>(this);
  AddRef();
  return ACF_OK;
}

AAX_Result EffectDescriptor::AddComponent(IACFUnknown* componentDescriptor) {
  ComponentDescriptor* component = mHost.FindComponent(componentDescriptor);
  const AAX_Result result = mHost.Record(
      mLabel, "AddComponent", {component ? component->Label() : (componentDescriptor ? "(unknown)" : "(null)")});
  if (result != AAX_SUCCESS) return result;
  if (!component) return AAX_ERROR_NULL_COMPONENT;
  mComponents.push_back(component);
  return AAX_SUCCESS;
}

AAX_Result EffectDescriptor::AddName(const char* name) {
  const AAX_Result result = mHost.Record(mLabel, "AddName", {Text(name)});
  if (result != AAX_SUCCESS) return result;
  if (!name) return AAX_ERROR_NULL_ARGUMENT;
  mNames.emplace_back(name);
  return AAX_SUCCESS;
}

AAX_Result EffectDescriptor::AddCategory(uint32_t category) {
  const AAX_Result result = mHost.Record(mLabel, "AddCategory", {std::to_string(category)});
  if (result == AAX_SUCCESS) mCategories.push_back(category);
  return result;
}

AAX_Result EffectDescriptor::AddCategoryBypassParameter(uint32_t category, AAX_CParamID parameter) {
  return mHost.Record(mLabel, "AddCategoryBypassParameter", {std::to_string(category), Text(parameter)});
}

AAX_Result EffectDescriptor::AddProcPtr(void* procPtr, int32_t procID) {
  const AAX_Result result = mHost.Record(mLabel, "AddProcPtr", {procPtr ? "proc" : "(null)", std::to_string(procID)});
  if (result != AAX_SUCCESS) return result;
  if (!procPtr) return AAX_ERROR_NULL_ARGUMENT;
  mProcs[procID] = procPtr;
  return AAX_SUCCESS;
}

AAX_Result EffectDescriptor::SetProperties(IACFUnknown* propertyMap) {
  PropertyMap* map = mHost.FindPropertyMap(propertyMap);
  return mHost.Record(mLabel, "SetProperties", {map ? map->Label() : Text(nullptr)});
}

AAX_Result EffectDescriptor::AddResourceInfo(int32_t resourceType, const char* info) {
  return mHost.Record(mLabel, "AddResourceInfo", {std::to_string(resourceType), Text(info)});
}

AAX_Result EffectDescriptor::AddMeterDescription(AAX_CTypeID meterID, const char* name, IACFUnknown* propertyMap) {
  PropertyMap* map = mHost.FindPropertyMap(propertyMap);
  const AAX_Result result =
      mHost.Record(mLabel, "AddMeterDescription", {FourCC(meterID), Text(name), map ? map->Label() : Text(nullptr)});
  if (result == AAX_SUCCESS && name) mMeterNames[meterID] = name;
  return result;
}

std::string EffectDescriptor::MeterName(AAX_CTypeID meterID) const {
  const auto found = mMeterNames.find(meterID);
  return found == mMeterNames.end() ? std::string() : found->second;
}

AAX_CCreateObjectProc EffectDescriptor::CreateProc(int32_t procID) const {
  const auto found = mProcs.find(procID);
  return found == mProcs.end() ? nullptr : reinterpret_cast<AAX_CCreateObjectProc>(found->second);
}

}  // namespace aaxhost
