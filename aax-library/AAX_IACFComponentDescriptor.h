#pragma once
#include "aax-library/ACFModel.h"
#include "aax-library/AAX_Callbacks.h"
#include "aax-library/AAX_Types.h"

// One processing component: the fields of its algorithm context and its render callback.
// Each Add... call reserves the context field at the given index.
class AAX_IACFComponentDescriptor : public IACFUnknown {
public:
  // Host main thread, during registration.
  virtual AAX_Result Clear() = 0;
  virtual AAX_Result AddReservedField(AAX_CFieldIndex index, uint32_t fieldType) = 0;
  virtual AAX_Result AddAudioIn(AAX_CFieldIndex index) = 0;
  virtual AAX_Result AddAudioOut(AAX_CFieldIndex index) = 0;
  virtual AAX_Result AddAudioBufferLength(AAX_CFieldIndex index) = 0;
  virtual AAX_Result AddSampleRate(AAX_CFieldIndex index) = 0;
  virtual AAX_Result AddClock(AAX_CFieldIndex index) = 0;
  virtual AAX_Result AddSideChainIn(AAX_CFieldIndex index) = 0;
  virtual AAX_Result AddDataInPort(AAX_CFieldIndex index, uint32_t packetSize, int32_t portType) = 0;
  virtual AAX_Result AddAuxOutputStem(AAX_CFieldIndex index, uint32_t stemFormat, const char* name) = 0;
  virtual AAX_Result AddPrivateData(AAX_CFieldIndex index, int32_t dataSize, uint32_t options) = 0;
  virtual AAX_Result AddTemporaryData(AAX_CFieldIndex index, uint32_t dataElementSize) = 0;
  virtual AAX_Result AddDmaInstance(AAX_CFieldIndex index, int32_t mode) = 0;
  virtual AAX_Result AddMeters(AAX_CFieldIndex index, const AAX_CTypeID* meterIDs, uint32_t meterCount) = 0;
  virtual AAX_Result AddMIDINode(AAX_CFieldIndex index, int32_t nodeType, const char* nodeName,
                                 uint32_t channelMask) = 0;
  virtual AAX_Result AddProcessProc_Native(AAX_CProcessProc processProc, IACFUnknown* properties,
                                           AAX_CInstanceInitProc instanceInitProc,
                                           AAX_CBackgroundProc backgroundProc,
                                           AAX_CSelector* outSelector) = 0;

protected:
  ~AAX_IACFComponentDescriptor() = default;
};
