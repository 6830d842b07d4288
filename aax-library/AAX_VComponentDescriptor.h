#pragma once
#include <memory>
#include <vector>

#include "aax-library/AAX_ACFPtr.h"
#include "aax-library/AAX_IACFComponentDescriptor.h"
#include "aax-library/AAX_IComponentDescriptor.h"
#include "aax-library/AAX_VPropertyMap.h"

// Forwards to a host component descriptor created through the host's component factory; owns
// the property maps made through it. Every call gives AAX_ERROR_NULL_OBJECT when the host made
// no descriptor.
class AAX_VComponentDescriptor : public AAX_IComponentDescriptor {
public:
  explicit AAX_VComponentDescriptor(IACFComponentFactory* factory);
  ~AAX_VComponentDescriptor() override;

  AAX_Result Clear() override;
  AAX_Result AddReservedField(AAX_CFieldIndex index, uint32_t fieldType) override;
  AAX_Result AddAudioIn(AAX_CFieldIndex index) override;
  AAX_Result AddAudioOut(AAX_CFieldIndex index) override;
  AAX_Result AddAudioBufferLength(AAX_CFieldIndex index) override;
  AAX_Result AddSampleRate(AAX_CFieldIndex index) override;
  AAX_Result AddClock(AAX_CFieldIndex index) override;
  AAX_Result AddSideChainIn(AAX_CFieldIndex index) override;
  AAX_Result AddDataInPort(AAX_CFieldIndex index, uint32_t packetSize, int32_t portType) override;
  AAX_Result AddAuxOutputStem(AAX_CFieldIndex index, uint32_t stemFormat, const char* name) override;
  AAX_Result AddPrivateData(AAX_CFieldIndex index, int32_t dataSize, uint32_t options) override;
  AAX_Result AddTemporaryData(AAX_CFieldIndex index, uint32_t dataElementSize) override;
  AAX_Result AddDmaInstance(AAX_CFieldIndex index, int32_t mode) override;
  AAX_Result AddMeters(AAX_CFieldIndex index, const AAX_CTypeID* meterIDs, uint32_t meterCount) override;
  AAX_Result AddMIDINode(AAX_CFieldIndex index, AAX_EMIDINodeType nodeType, const char* nodeName,
                         uint32_t channelMask) override;
  AAX_Result AddProcessProc_Native(AAX_CProcessProc processProc, AAX_IPropertyMap* properties,
                                   AAX_CInstanceInitProc instanceInitProc, AAX_CBackgroundProc backgroundProc,
                                   AAX_CSelector* outSelector) override;
  AAX_IPropertyMap* NewPropertyMap() override;
  IACFUnknown* GetIUnknown() const override { return mDescriptor.Get(); }

private:
  AAX_ACFPtr<IACFComponentFactory> mFactory;
  AAX_ACFPtr<AAX_IACFComponentDescriptor> mDescriptor;
  std::vector<std::unique_ptr<AAX_VPropertyMap>> mPropertyMaps;
};
