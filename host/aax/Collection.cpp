#include "host/aax/Collection.h"

#include <utility>

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"
#include "host/aax/CallLog.h"
#include "host/aax/EffectDescriptor.h"
#include "host/aax/Host.h"
#include "host/aax/PropertyMap.h"

namespace aaxhost {

Collection::Collection(Host& host, std::string label) : mHost(host), mLabel(std::move(label)) {}

ACFRESULT Collection::QueryInterface(const acfIID& iid, void** out) {
  if (!out) return ACF_E_POINTER;
  *out = nullptr;
  if (iid == IID_IACFUnknown || iid == IID_IAAXCollectionV1) {
    *out = static_cast<AAX_IACFCollection*>(this);
  } else if (iid == IID_IACFPluginDefinition && !mHost.RefusesPluginDefinition()) {
    *out = static_cast<IACFPluginDefinition*>(this);
  } else {
    return ACF_E_NOINTERFACE;
  }
  AddRef();
  return ACF_OK;
}

AAX_Result Collection::AddEffect(const char* effectID, IACFUnknown* effectDescriptor) {
  EffectDescriptor* effect = mHost.FindEffect(effectDescriptor);
  const AAX_Result result = mHost.Record(
      mLabel, "AddEffect", {Text(effectID), effect ? effect->Label() : (effectDescriptor ? "(unknown)" : "(null)")});
  if (result != AAX_SUCCESS) return result;
  if (!effectID || !effect) return AAX_ERROR_NULL_ARGUMENT;
  for (const Effect& existing : mEffects) {
    if (existing.id == effectID) return AAX_ERROR_DUPLICATE_EFFECT_ID;
  }
  mEffects.push_back({effectID, effect});
  return AAX_SUCCESS;
}

AAX_Result Collection::SetManufacturerName(const char* name) {
  const AAX_Result result = mHost.Record(mLabel, "SetManufacturerName", {Text(name)});
  if (result == AAX_SUCCESS) mManufacturerName = name ? name : "";
  return result;
}

AAX_Result Collection::AddPackageName(const char* name) {
  const AAX_Result result = mHost.Record(mLabel, "AddPackageName", {Text(name)});
  if (result == AAX_SUCCESS && name) mPackageNames.emplace_back(name);
  return result;
}

AAX_Result Collection::SetPackageVersion(uint32_t version) {
  const AAX_Result result = mHost.Record(mLabel, "SetPackageVersion", {Hex(version)});
  if (result == AAX_SUCCESS) mPackageVersion = version;
  return result;
}

AAX_Result Collection::SetProperties(IACFUnknown* propertyMap) {
  PropertyMap* map = mHost.FindPropertyMap(propertyMap);
  return mHost.Record(mLabel, "SetProperties", {map ? map->Label() : Text(nullptr)});
}

}  // namespace aaxhost
