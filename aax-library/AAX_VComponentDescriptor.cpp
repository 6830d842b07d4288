#include "aax-library/AAX_VComponentDescriptor.h"

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"

AAX_VComponentDescriptor::AAX_VComponentDescriptor(IACFComponentFactory* factory)
    : mFactory(AAX_ACFPtr<IACFComponentFactory>::Share(factory)),
      mDescriptor(AAX_ACFPtr<AAX_IACFComponentDescriptor>::Create(factory, AAXCompID_AAXComponentDescriptor,
                                                                  IID_IAAXComponentDescriptorV1)) {}

// Property maps go first: the descriptor may still refer to them until it is released.
AAX_VComponentDescriptor::~AAX_VComponentDescriptor() { mPropertyMaps.clear(); }

#define AAX_FORWARD(call) return mDescriptor ? mDescriptor->call : AAX_ERROR_NULL_OBJECT

AAX_Result AAX_VComponentDescriptor::Clear() { AAX_FORWARD(Clear()); }
AAX_Result AAX_VComponentDescriptor::AddReservedField(AAX_CFieldIndex index, uint32_t fieldType) {
  AAX_FORWARD(AddReservedField(index, fieldType));
}
AAX_Result AAX_VComponentDescriptor::AddAudioIn(AAX_CFieldIndex index) { AAX_FORWARD(AddAudioIn(index)); }
AAX_Result AAX_VComponentDescriptor::AddAudioOut(AAX_CFieldIndex index) { AAX_FORWARD(AddAudioOut(index)); }
AAX_Result AAX_VComponentDescriptor::AddAudioBufferLength(AAX_CFieldIndex index) {
  AAX_FORWARD(AddAudioBufferLength(index));
}
AAX_Result AAX_VComponentDescriptor::AddSampleRate(AAX_CFieldIndex index) { AAX_FORWARD(AddSampleRate(index)); }
AAX_Result AAX_VComponentDescriptor::AddClock(AAX_CFieldIndex index) { AAX_FORWARD(AddClock(index)); }
AAX_Result AAX_VComponentDescriptor::AddSideChainIn(AAX_CFieldIndex index) { AAX_FORWARD(AddSideChainIn(index)); }
AAX_Result AAX_VComponentDescriptor::AddDataInPort(AAX_CFieldIndex index, uint32_t packetSize, int32_t portType) {
  AAX_FORWARD(AddDataInPort(index, packetSize, portType));
}
AAX_Result AAX_VComponentDescriptor::AddAuxOutputStem(AAX_CFieldIndex index, uint32_t stemFormat,
                                                      const char* name) {
  AAX_FORWARD(AddAuxOutputStem(index, stemFormat, name));
}
AAX_Result AAX_VComponentDescriptor::AddPrivateData(AAX_CFieldIndex index, int32_t dataSize, uint32_t options) {
  AAX_FORWARD(AddPrivateData(index, dataSize, options));
}
AAX_Result AAX_VComponentDescriptor::AddTemporaryData(AAX_CFieldIndex index, uint32_t dataElementSize) {
  AAX_FORWARD(AddTemporaryData(index, dataElementSize));
}
AAX_Result AAX_VComponentDescriptor::AddDmaInstance(AAX_CFieldIndex index, int32_t mode) {
  AAX_FORWARD(AddDmaInstance(index, mode));
}
AAX_Result AAX_VComponentDescriptor::AddMeters(AAX_CFieldIndex index, const AAX_CTypeID* meterIDs,
                                               uint32_t meterCount) {
  AAX_FORWARD(AddMeters(index, meterIDs, meterCount));
}
AAX_Result AAX_VComponentDescriptor::AddMIDINode(AAX_CFieldIndex index, AAX_EMIDINodeType nodeType,
                                                 const char* nodeName, uint32_t channelMask) {
  AAX_FORWARD(AddMIDINode(index, nodeType, nodeName, channelMask));
}
AAX_Result AAX_VComponentDescriptor::AddProcessProc_Native(AAX_CProcessProc processProc, AAX_IPropertyMap* properties,
                                                           AAX_CInstanceInitProc instanceInitProc,
                                                           AAX_CBackgroundProc backgroundProc,
                                                           AAX_CSelector* outSelector) {
  AAX_FORWARD(AddProcessProc_Native(processProc, properties ? properties->GetIUnknown() : nullptr,
                                    instanceInitProc, backgroundProc, outSelector));
}

#undef AAX_FORWARD

AAX_IPropertyMap* AAX_VComponentDescriptor::NewPropertyMap() {
  auto map = std::make_unique<AAX_VPropertyMap>(mFactory.Get());
  if (!map->GetIUnknown()) return nullptr;
  mPropertyMaps.push_back(std::move(map));
  return mPropertyMaps.back().get();
}
