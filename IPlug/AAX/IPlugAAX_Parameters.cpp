#include "IPlug/AAX/IPlugAAX_Parameters.h"

#include <algorithm>

#include "IPlug/AAX/AAX_CIPlugParameters.h"
#include "aax-library/AAX_CHostServices.h"
#include "aax-library/AAX_CheckedResult.h"
#include "aax-library/AAX_Errors.h"

namespace iplug {

namespace {

constexpr int32_t kMaxAdditionalMIDINodes = AAXComponentSetup::kMaxAdditionalMIDINodes;
constexpr int32_t kMaxAuxOutputStems = AAXComponentSetup::kMaxAuxOutputStems;
constexpr int32_t kPlaceholderBytes = 4;
constexpr uint32_t kTransportMask = 0xFFFF;
constexpr int32_t kStateNumberPortType = 1;

AAX_CPropertyValue AsProperty(uint32_t value) { return static_cast<AAX_CPropertyValue>(value); }

// A node when the component wants one, otherwise a few bytes that keep the field's place.
AAX_Result AddNodeOrPlaceholder(AAX_IComponentDescriptor& component, bool wanted, AAX_CFieldIndex index,
                                AAX_EMIDINodeType type, const char* name, uint32_t mask) {
  if (wanted) return component.AddMIDINode(index, type, name, mask);
  return component.AddPrivateData(index, kPlaceholderBytes, 0);
}

void AddFields(AAX_IComponentDescriptor& component, const AAXComponentSetup& setupInfo) {
  AAX_CheckedResult err;
  err = AddNodeOrPlaceholder(component, setupInfo.mWantsGlobalMIDI, kIPlugAAXField_GlobalMIDI,
                             AAX_eMIDINodeType_Global, setupInfo.mGlobalMIDINodeName, setupInfo.mGlobalMIDIMask);
  err = AddNodeOrPlaceholder(component, setupInfo.mWantsInputMIDI, kIPlugAAXField_MIDIIn,
                             AAX_eMIDINodeType_LocalInput, setupInfo.mInputMIDINodeName, setupInfo.mInputMIDIMask);
  err = AddNodeOrPlaceholder(component, setupInfo.mWantsOutputMIDI, kIPlugAAXField_MIDIOut,
                             AAX_eMIDINodeType_LocalOutput, setupInfo.mOutputMIDINodeName,
                             setupInfo.mOutputMIDIMask);
  // The transport node always goes by its own name, whatever the record says.
  err = AddNodeOrPlaceholder(component, setupInfo.mWantsTransport, kIPlugAAXField_Transport,
                             AAX_eMIDINodeType_Transport, "Transport", kTransportMask);

  AAX_ASSERT(setupInfo.mNumAdditionalInputMIDINodes <= kMaxAdditionalMIDINodes);
  for (int32_t i = 0; i < kMaxAdditionalMIDINodes; ++i) {
    err = AddNodeOrPlaceholder(component, i < setupInfo.mNumAdditionalInputMIDINodes,
                               kIPlugAAXField_AdditionalMIDIIn + i, AAX_eMIDINodeType_LocalInput,
                               setupInfo.mInputMIDINodeName, setupInfo.mInputMIDIMask);
  }

  err = component.AddAudioIn(kIPlugAAXField_AudioIn);
  err = component.AddAudioOut(kIPlugAAXField_AudioOut);
  err = component.AddAudioBufferLength(kIPlugAAXField_BufferLength);
  err = component.AddClock(kIPlugAAXField_Clock);

  if (setupInfo.mNumMeters > 0) {
    err = component.AddMeters(kIPlugAAXField_Meters, setupInfo.mMeterIDs, static_cast<uint32_t>(setupInfo.mNumMeters));
  } else {
    err = component.AddPrivateData(kIPlugAAXField_Meters, kPlaceholderBytes, 0);
  }

  if (setupInfo.mSideChain) err = component.AddSideChainIn(kIPlugAAXField_SideChainIn);

  AAX_ASSERT(setupInfo.mNumAuxOutputStems <= kMaxAuxOutputStems);
  const int32_t auxStems = std::clamp(setupInfo.mNumAuxOutputStems, 0, kMaxAuxOutputStems);
  for (int32_t i = 0; i < auxStems; ++i) {
    err = component.AddAuxOutputStem(0, setupInfo.mAuxOutputStemFormats[i],
                                     setupInfo.mAuxOutputStemNames[i]);
  }

  err = component.AddPrivateData(kIPlugAAXField_PrivateData, static_cast<int32_t>(sizeof(AAX_SIPlugPrivateData)), 0);
  err = component.AddDataInPort(kIPlugAAXField_StateNumber, sizeof(int64_t), kStateNumberPortType);
}

void AddProperties(AAX_IPropertyMap& properties, const AAXComponentSetup& setupInfo) {
  AAX_CheckedResult err;
  if (setupInfo.mFlag151) err = properties.AddProperty(AAX_eProperty_151, 1);

  AAX_ASSERT((AAX_eStemFormat_None != setupInfo.mHybridInputStemFormat) ==
             (AAX_eStemFormat_None != setupInfo.mHybridOutputStemFormat));
  if (setupInfo.mHybridInputStemFormat != AAX_eStemFormat_None &&
      setupInfo.mHybridOutputStemFormat != AAX_eStemFormat_None) {
    err = properties.AddProperty(AAX_eProperty_HybridInputStemFormat, AsProperty(setupInfo.mHybridInputStemFormat));
    err = properties.AddProperty(AAX_eProperty_HybridOutputStemFormat, AsProperty(setupInfo.mHybridOutputStemFormat));
  }

  if (setupInfo.mSideChain) err = properties.AddProperty(AAX_eProperty_SupportsSideChainInput, 1);
  err = properties.AddProperty(AAX_eProperty_56, setupInfo.mValue56);
  err = properties.AddProperty(AAX_eProperty_InputStemFormat, AsProperty(setupInfo.mInputStemFormat));
  err = properties.AddProperty(AAX_eProperty_OutputStemFormat, AsProperty(setupInfo.mOutputStemFormat));
  err = properties.AddProperty(AAX_eProperty_CanBypass, setupInfo.mCanBypass ? 1 : 0);
  err = properties.AddProperty(AAX_eProperty_300, 1);
  if (setupInfo.mWantsTransport) err = properties.AddProperty(AAX_eProperty_UsesTransport, 1);
  err = properties.AddProperty(AAX_eProperty_ManufacturerID, AsProperty(setupInfo.mManufacturerID));
  err = properties.AddProperty(AAX_eProperty_ProductID, AsProperty(setupInfo.mProductID));
  err = properties.AddProperty(AAX_eProperty_PlugInID_Native, AsProperty(setupInfo.mNativeTypeID));
  if (setupInfo.mAudioSuiteTypeID != AAXComponentSetup::kNone) {
    err = properties.AddProperty(AAX_eProperty_PlugInID_AudioSuite, AsProperty(setupInfo.mAudioSuiteTypeID));
  }
  if (!setupInfo.mFlag304) err = properties.AddProperty(AAX_eProperty_304, 0);
}

}  // namespace

AAX_Result DescribeComponent(AAX_IEffectDescriptor& effectDescriptor, const AAXComponentSetup& setupInfo) {
  AAX_CheckedResult err;
  AAX_IComponentDescriptor* component = effectDescriptor.NewComponentDescriptor();
  if (!component) err = AAX_ERROR_NULL_OBJECT;

  AddFields(*component, setupInfo);

  AAX_IPropertyMap* properties = component->NewPropertyMap();
  if (!properties) err = AAX_ERROR_NULL_OBJECT;
  AddProperties(*properties, setupInfo);

  err = component->AddProcessProc_Native(&AAX_CIPlugParameters::AlgorithmCallback, properties, nullptr, nullptr,
                                         nullptr);
  err = effectDescriptor.AddComponent(component);
  return err.Current();
}

}  // namespace iplug
