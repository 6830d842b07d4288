#pragma once
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "aax-library/AAX_IACFDescriptionHost.h"
#include "aax-library/ACFModel.h"
#include "host/aax/CallLog.h"
#include "host/aax/Collection.h"
#include "host/aax/ComponentDescriptor.h"
#include "host/aax/EffectDescriptor.h"
#include "host/aax/HostServices.h"
#include "host/aax/PropertyMap.h"
#include "host/aax/RefCount.h"
#include "host/aax/Recorder.h"

namespace aaxhost {

// The host object a module receives in ACFStartup and ACFRegisterPlugin. Its component
// factory makes the collection, descriptors, property maps and host services; every call the
// module makes on them is recorded in order. All of them live as long as the host.
//
// Failures can be asked for: a call name can be made to answer a given result, and a class can
// be refused by the factory, so tests can see how a module copes.
class Host : public IACFComponentFactory, public AAX_IACFDescriptionHost, public AAX_IACFFeatureInfo,
             public Recorder {
public:
  Host();
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // IACFUnknown, IACFComponentFactory, AAX_IACFDescriptionHost, AAX_IACFFeatureInfo.
  ACFRESULT QueryInterface(const acfIID& iid, void** out) override;
  AAXHOST_REFCOUNTED()
  ACFRESULT CreateComponent(IACFUnknown* outer, const acfCLSID& clsid, const acfIID& iid, void** out) override;
  AAX_Result AcquireFeatureProperties(const acfIID& feature, IACFUnknown** outProperties) override;
  AAX_Result GetHostVersion(uint32_t* outVersion) override;

  // Recorder.
  AAX_Result Record(const std::string& object, const std::string& name, std::vector<std::string> args) override;

  // The object to pass to the module's entry points.
  IACFUnknown* Unknown() { return static_cast<IACFComponentFactory*>(this); }

  // Failure injection.
  void FailCall(const std::string& name, AAX_Result result) { mFailures[name] = result; }
  void RefuseClass(const acfCLSID& clsid) { mRefusedClasses.push_back(clsid); }
  void RefusePluginDefinition(bool refuse) { mRefusePluginDefinition = refuse; }
  bool RefusesPluginDefinition() const { return mRefusePluginDefinition; }
  void OfferDescriptionHost(bool offer) { mOfferDescriptionHost = offer; }

  CallLog& Log() { return mLog; }
  const CallLog& Log() const { return mLog; }
  HostServices& Services() { return mServices; }

  const std::vector<std::unique_ptr<Collection>>& Collections() const { return mCollections; }
  const std::vector<std::unique_ptr<EffectDescriptor>>& EffectDescriptors() const { return mEffects; }
  const std::vector<std::unique_ptr<ComponentDescriptor>>& ComponentDescriptors() const { return mComponents; }
  const std::vector<std::unique_ptr<PropertyMap>>& PropertyMaps() const { return mPropertyMaps; }

  // The registered effect with that identifier, in any collection; null when none.
  EffectDescriptor* FindRegisteredEffect(const std::string& effectID) const;

  // Lookups of objects the module hands back (null for anything not made by this host).
  PropertyMap* FindPropertyMap(IACFUnknown* unknown) const;
  ComponentDescriptor* FindComponent(IACFUnknown* unknown) const;
  EffectDescriptor* FindEffect(IACFUnknown* unknown) const;

  // References the module still holds on host objects (beyond the host's own); 0 after a
  // module cleaned up properly.
  int32_t OutstandingReferences() const;

private:
  bool IsRefused(const acfCLSID& clsid) const;
  IACFUnknown* MakeObject(const acfCLSID& clsid);

  RefCount mRefs;
  CallLog mLog;
  HostServices mServices;
  std::vector<std::unique_ptr<Collection>> mCollections;
  std::vector<std::unique_ptr<EffectDescriptor>> mEffects;
  std::vector<std::unique_ptr<ComponentDescriptor>> mComponents;
  std::vector<std::unique_ptr<PropertyMap>> mPropertyMaps;
  std::map<std::string, AAX_Result> mFailures;
  std::vector<acfCLSID> mRefusedClasses;
  bool mRefusePluginDefinition = false;
  bool mOfferDescriptionHost = true;
};

}  // namespace aaxhost
