#include "TestDescription.h"

#include "aax-library/AAX_CEffectGUI.h"
#include "aax-library/AAX_CEffectParameters.h"
#include "aax-library/AAX_CheckedResult.h"
#include "aax-library/AAX_Exports.h"

namespace aaxtest {

namespace {
class SmallEffect : public AAX_CEffectParameters {};

class SmallGUI : public AAX_CEffectGUI {
protected:
  void CreateViewContents() override {}
  void CreateViewContainer() override {}
  void DeleteViewContainer() override {}
};

IACFUnknown* CreateSmallEffect() { return (new SmallEffect)->GetPrivateUnknown(); }
IACFUnknown* CreateSmallGUI() { return (new SmallGUI)->GetPrivateUnknown(); }
void Render(void* const*, const void*) {}
}  // namespace

std::function<AAX_Result(AAX_ICollection*)> gDescribe = DescribeSmallEffect;

DescriptionScope::~DescriptionScope() { gDescribe = DescribeSmallEffect; }

AAX_Result DescribeSmallEffect(AAX_ICollection* collection) {
  AAX_CheckedResult result;
  AAX_IEffectDescriptor* effect = collection->NewDescriptor();
  if (!effect) return AAX_ERROR_NULL_OBJECT;
  result = effect->AddName("Small");
  AAX_IComponentDescriptor* component = effect->NewComponentDescriptor();
  if (!component) return AAX_ERROR_NULL_OBJECT;
  result = component->AddAudioIn(0);
  result = component->AddAudioOut(1);
  AAX_IPropertyMap* properties = component->NewPropertyMap();
  if (!properties) return AAX_ERROR_NULL_OBJECT;
  result = properties->AddProperty(AAX_eProperty_CanBypass, 1);
  result = component->AddProcessProc_Native(Render, properties, nullptr, nullptr, nullptr);
  result = effect->AddComponent(component);
  result = effect->AddProcPtr(reinterpret_cast<void*>(&CreateSmallEffect), kAAX_ProcPtrID_Create_EffectParameters);
  result = effect->AddProcPtr(reinterpret_cast<void*>(&CreateSmallGUI), kAAX_ProcPtrID_Create_EffectGUI);
  result = collection->AddEffect("com.tollenbrook.small", effect);
  collection->SetManufacturerName("Tollenbrook Tests");
  collection->SetPackageVersion(0x00010203);
  return AAX_SUCCESS;
}

HostServicesScope::HostServicesScope(aaxhost::Host& host) { ACFStartup(host.Unknown()); }
HostServicesScope::~HostServicesScope() { ACFShutdown(nullptr); }

}  // namespace aaxtest

AAX_Result GetEffectDescriptions(AAX_ICollection* collection) { return aaxtest::gDescribe(collection); }
