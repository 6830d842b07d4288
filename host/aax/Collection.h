#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "aax-library/AAX_IACFCollection.h"
#include "host/aax/RefCount.h"

namespace aaxhost {

class EffectDescriptor;
class Host;

// The host's collection: records every call in order and keeps the registered effects. It is
// also what a module hands back as its plug-in definition.
class Collection final : public AAX_IACFCollection, public IACFPluginDefinition {
public:
  struct Effect {
    std::string id;
    EffectDescriptor* descriptor = nullptr;
  };

  Collection(Host& host, std::string label);

  ACFRESULT QueryInterface(const acfIID& iid, void** out) override;
  AAXHOST_REFCOUNTED()
  AAX_Result AddEffect(const char* effectID, IACFUnknown* effectDescriptor) override;
  AAX_Result SetManufacturerName(const char* name) override;
  AAX_Result AddPackageName(const char* name) override;
  AAX_Result SetPackageVersion(uint32_t version) override;
  AAX_Result SetProperties(IACFUnknown* propertyMap) override;

  const std::string& Label() const { return mLabel; }
  const std::vector<Effect>& Effects() const { return mEffects; }
  const std::vector<std::string>& PackageNames() const { return mPackageNames; }
  const std::string& ManufacturerName() const { return mManufacturerName; }
  uint32_t PackageVersion() const { return mPackageVersion; }

private:
  Host& mHost;
  std::string mLabel;
  RefCount mRefs;
  std::vector<Effect> mEffects;
  std::vector<std::string> mPackageNames;
  std::string mManufacturerName;
  uint32_t mPackageVersion = 0;
};

}  // namespace aaxhost
