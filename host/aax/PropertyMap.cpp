#include "host/aax/PropertyMap.h"

#include <algorithm>

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"

namespace aaxhost {

ACFRESULT PropertyMap::QueryInterface(const acfIID& iid, void** out) {
  if (!out) return ACF_E_POINTER;
  *out = nullptr;
  if (iid != IID_IACFUnknown && iid != IID_IAAXPropertyMapV1) return ACF_E_NOINTERFACE;
  *out = static_cast<AAX_IACFPropertyMap*>(this);
  AddRef();
  return ACF_OK;
}

AAX_CBoolean PropertyMap::GetProperty(int32_t property, AAX_CPropertyValue* outValue) const {
  const auto value = Find(property);
  if (!value || !outValue) return 0;
  *outValue = *value;
  return 1;
}

AAX_Result PropertyMap::AddProperty(int32_t property, AAX_CPropertyValue value) {
  const AAX_Result result =
      mRecorder.Record(mLabel, "AddProperty", {std::to_string(property), std::to_string(value)});
  if (result != AAX_SUCCESS) return result;
  auto found = std::find_if(mProperties.begin(), mProperties.end(),
                            [&](const auto& entry) { return entry.first == property; });
  if (found != mProperties.end()) {
    found->second = value;
  } else {
    mProperties.emplace_back(property, value);
  }
  return AAX_SUCCESS;
}

AAX_Result PropertyMap::RemoveProperty(int32_t property) {
  const AAX_Result result = mRecorder.Record(mLabel, "RemoveProperty", {std::to_string(property)});
  if (result != AAX_SUCCESS) return result;
  std::erase_if(mProperties, [&](const auto& entry) { return entry.first == property; });
  return AAX_SUCCESS;
}

std::optional<AAX_CPropertyValue> PropertyMap::Find(int32_t property) const {
  for (const auto& [number, value] : mProperties) {
    if (number == property) return value;
  }
  return std::nullopt;
}

}  // namespace aaxhost
