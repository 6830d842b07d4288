// A tiny module built like the product's: one mono effect whose parameter "1" scales the input.
// The test program loads it at run time and drives it through the recording host, so every
// call crosses a real module boundary.
#include <cstring>

#include "aax-library/AAX_CBinaryDisplayDelegate.h"
#include "aax-library/AAX_CEffectGUI.h"
#include "aax-library/AAX_CEffectParameters.h"
#include "aax-library/AAX_CLinearTaperDelegate.h"
#include "aax-library/AAX_CNumberDisplayDelegate.h"
#include "aax-library/AAX_CParameter.h"
#include "aax-library/AAX_CheckedResult.h"
#include "aax-library/AAX_ICollection.h"
#include "aax-library/AAX_ModuleHandle.h"

namespace {

constexpr AAX_CFieldIndex kInputs = 0;
constexpr AAX_CFieldIndex kOutputs = 1;
constexpr AAX_CFieldIndex kBlockLength = 2;
constexpr AAX_CFieldIndex kPrivateData = 3;

class TestModuleEffect;

struct PrivateData {
  TestModuleEffect* instance;
};

class TestModuleEffect : public AAX_CEffectParameters {
public:
  // Real-time thread.
  double Gain() const { return mGain ? mGain->GetValue() : 1.0; }

  AAX_Result ResetFieldData(AAX_CFieldIndex index, void* data, uint32_t size) const override {
    if (index == kPrivateData && data && size >= sizeof(PrivateData)) {
      static_cast<PrivateData*>(data)->instance = const_cast<TestModuleEffect*>(this);
      return AAX_SUCCESS;
    }
    return AAX_CEffectParameters::ResetFieldData(index, data, size);
  }

protected:
  AAX_Result EffectInit() override {
    mGain = new AAX_CParameter<double>("1", "Gain", 1.0, AAX_CLinearTaperDelegate<double>(0.0, 2.0),
                                       AAX_CNumberDisplayDelegate<double>(), true);
    if (!mParameterManager.AddParameter(mGain)) {
      delete mGain;
      mGain = nullptr;
    }
    return AAX_SUCCESS;
  }

private:
  AAX_CParameter<double>* mGain = nullptr;
};

class TestModuleGUI : public AAX_CEffectGUI {
protected:
  void CreateViewContents() override {}
  void CreateViewContainer() override {}
  void DeleteViewContainer() override {}
};

IACFUnknown* CreateEffectParameters() { return (new TestModuleEffect)->GetPrivateUnknown(); }
IACFUnknown* CreateEffectGUI() { return (new TestModuleGUI)->GetPrivateUnknown(); }

// Real-time thread. Allocates nothing, takes no lock.
void AlgorithmCallback(void* const contextsBegin[], const void* contextsEnd) {
  for (void* const* context = contextsBegin; context != contextsEnd; ++context) {
    auto* privateData = static_cast<PrivateData*>(AAX_ContextField(*context, kPrivateData));
    if (!privateData || !privateData->instance) continue;
    const auto* inputs = static_cast<float* const*>(AAX_ContextField(*context, kInputs));
    auto* outputs = static_cast<float* const*>(AAX_ContextField(*context, kOutputs));
    const int32_t samples = *static_cast<const int32_t*>(AAX_ContextField(*context, kBlockLength));
    const float gain = static_cast<float>(privateData->instance->Gain());
    for (int32_t i = 0; i < samples; ++i) outputs[0][i] = inputs[0][i] * gain;
  }
}

}  // namespace

AAX_Result GetEffectDescriptions(AAX_ICollection* collection) {
  AAX_CheckedResult result;
  AAX_IEffectDescriptor* effect = collection->NewDescriptor();
  if (!effect) return AAX_ERROR_NULL_OBJECT;
  result = effect->AddName("Test Module");
  result = effect->AddName("TstM");
  result = effect->AddCategory(AAX_ePlugInCategory_Dynamics);

  AAX_IComponentDescriptor* component = effect->NewComponentDescriptor();
  if (!component) return AAX_ERROR_NULL_OBJECT;
  result = component->AddAudioIn(kInputs);
  result = component->AddAudioOut(kOutputs);
  result = component->AddAudioBufferLength(kBlockLength);
  result = component->AddPrivateData(kPrivateData, sizeof(PrivateData), 0);
  AAX_IPropertyMap* properties = component->NewPropertyMap();
  if (!properties) return AAX_ERROR_NULL_OBJECT;
  result = properties->AddProperty(AAX_eProperty_ManufacturerID, static_cast<AAX_CPropertyValue>(AAX_FourCC("Tbrk")));
  result = properties->AddProperty(AAX_eProperty_ProductID, static_cast<AAX_CPropertyValue>(AAX_FourCC("TstM")));
  result = properties->AddProperty(AAX_eProperty_InputStemFormat, static_cast<AAX_CPropertyValue>(AAX_eStemFormat_Mono));
  result = properties->AddProperty(AAX_eProperty_OutputStemFormat, static_cast<AAX_CPropertyValue>(AAX_eStemFormat_Mono));
  result = component->AddProcessProc_Native(AlgorithmCallback, properties, nullptr, nullptr, nullptr);
  result = effect->AddComponent(component);

  result = effect->AddProcPtr(reinterpret_cast<void*>(&CreateEffectParameters), kAAX_ProcPtrID_Create_EffectParameters);
  result = effect->AddProcPtr(reinterpret_cast<void*>(&CreateEffectGUI), kAAX_ProcPtrID_Create_EffectGUI);
  result = collection->AddEffect("com.tollenbrook.testmodule", effect);
  collection->SetManufacturerName("Tollenbrook Tests");
  // The module handle was stored by the load routine; a version of 0 would tell the test otherwise.
  collection->SetPackageVersion(AAX_GetModuleHandle() ? 0x00010000u : 0u);
  return AAX_SUCCESS;
}
