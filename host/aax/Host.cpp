#include "host/aax/Host.h"

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"

namespace aaxhost {

Host::Host() = default;
Host::~Host() = default;

ACFRESULT Host::QueryInterface(const acfIID& iid, void** out) {
  if (!out) return ACF_E_POINTER;
  *out = nullptr;
  if (iid == IID_IACFUnknown || iid == IID_IACFComponentFactory) {
    *out = static_cast<IACFComponentFactory*>(this);
  } else if (iid == IID_IAAXDescriptionHostV1 && mOfferDescriptionHost) {
    *out = static_cast<AAX_IACFDescriptionHost*>(this);
  } else if (iid == IID_IAAXFeatureInfoV1 && mOfferDescriptionHost) {
    *out = static_cast<AAX_IACFFeatureInfo*>(this);
  } else {
    return ACF_E_NOINTERFACE;
  }
  AddRef();
  return ACF_OK;
}

bool Host::IsRefused(const acfCLSID& clsid) const {
  for (const acfCLSID& refused : mRefusedClasses) {
    if (refused == clsid) return true;
  }
  return false;
}

IACFUnknown* Host::MakeObject(const acfCLSID& clsid) {
  if (clsid == AAXCompID_HostServices) return &mServices;
  if (clsid == AAXCompID_AAXCollection) {
    mCollections.push_back(std::make_unique<Collection>(*this, "collection#" + std::to_string(mCollections.size() + 1)));
    return static_cast<AAX_IACFCollection*>(mCollections.back().get());
  }
  if (clsid == AAXCompID_AAXEffectDescriptor) {
    mEffects.push_back(std::make_unique<EffectDescriptor>(*this, "effect#" + std::to_string(mEffects.size() + 1)));
    return mEffects.back().get();
  }
  if (clsid == AAXCompID_AAXComponentDescriptor) {
    mComponents.push_back(
        std::make_unique<ComponentDescriptor>(*this, "component#" + std::to_string(mComponents.size() + 1)));
    return mComponents.back().get();
  }
  if (clsid == AAXCompID_AAXPropertyMap) {
    mPropertyMaps.push_back(
        std::make_unique<PropertyMap>(*this, "properties#" + std::to_string(mPropertyMaps.size() + 1)));
    return mPropertyMaps.back().get();
  }
  return nullptr;
}

ACFRESULT Host::CreateComponent(IACFUnknown* /*outer*/, const acfCLSID& clsid, const acfIID& iid, void** out) {
  if (!out) return ACF_E_POINTER;
  *out = nullptr;
  if (IsRefused(clsid)) return ACF_E_CLASSNOTREG;
  IACFUnknown* object = MakeObject(clsid);
  if (!object) return ACF_E_CLASSNOTREG;
  return object->QueryInterface(iid, out);
}

AAX_Result Host::AcquireFeatureProperties(const acfIID& /*feature*/, IACFUnknown** outProperties) {
  if (outProperties) *outProperties = nullptr;
  return Record("host", "AcquireFeatureProperties", {});
}

AAX_Result Host::GetHostVersion(uint32_t* outVersion) {
  if (!outVersion) return AAX_ERROR_NULL_ARGUMENT;
  *outVersion = 0x00010000;
  return AAX_SUCCESS;
}

AAX_Result Host::Record(const std::string& object, const std::string& name, std::vector<std::string> args) {
  mLog.Add(Call{object, name, std::move(args)});
  const auto failure = mFailures.find(name);
  return failure == mFailures.end() ? AAX_SUCCESS : failure->second;
}

EffectDescriptor* Host::FindRegisteredEffect(const std::string& effectID) const {
  for (const auto& collection : mCollections) {
    for (const Collection::Effect& effect : collection->Effects()) {
      if (effect.id == effectID) return effect.descriptor;
    }
  }
  return nullptr;
}

PropertyMap* Host::FindPropertyMap(IACFUnknown* unknown) const {
  for (const auto& map : mPropertyMaps) {
    if (static_cast<IACFUnknown*>(map.get()) == unknown) return map.get();
  }
  return nullptr;
}

ComponentDescriptor* Host::FindComponent(IACFUnknown* unknown) const {
  for (const auto& component : mComponents) {
    if (static_cast<IACFUnknown*>(component.get()) == unknown) return component.get();
  }
  return nullptr;
}

EffectDescriptor* Host::FindEffect(IACFUnknown* unknown) const {
  for (const auto& effect : mEffects) {
    if (static_cast<IACFUnknown*>(effect.get()) == unknown) return effect.get();
  }
  return nullptr;
}

int32_t Host::OutstandingReferences() const {
  int32_t count = mRefs.Count() + mServices.References();
  for (const auto& object : mCollections) count += object->References();
  for (const auto& object : mEffects) count += object->References();
  for (const auto& object : mComponents) count += object->References();
  for (const auto& object : mPropertyMaps) count += object->References();
  return count;
}

}  // namespace aaxhost
