#pragma once
#include <string>
#include <vector>

#include "aax-library/AAX_IACFComponentDescriptor.h"
#include "host/aax/RefCount.h"
#include "host/aax/Recorder.h"

namespace aaxhost {

class Host;
class PropertyMap;

enum class FieldKind {
  Reserved,
  AudioIn,
  AudioOut,
  BufferLength,
  SampleRate,
  Clock,
  SideChainIn,
  DataInPort,
  PrivateData,
  TemporaryData,
  DmaInstance,
  Meters,
  MIDINode
};

const char* FieldKindName(FieldKind kind);

// One context field as a component registered it.
struct FieldRegistration {
  AAX_CFieldIndex index = 0;
  FieldKind kind = FieldKind::Reserved;
  int64_t size = 0;        // private data size, data-in packet size, temporary element size
  int64_t type = 0;        // port type, field type, MIDI node type, DMA mode, private-data options
  std::string name;        // MIDI node name
  uint32_t mask = 0;       // MIDI channel mask
  std::vector<AAX_CTypeID> meterIDs;
};

struct AuxOutputStem {
  AAX_CFieldIndex index = 0;
  uint32_t stemFormat = 0;
  std::string name;
};

// A component descriptor that records every call in order and keeps what they registered.
class ComponentDescriptor final : public AAX_IACFComponentDescriptor {
public:
  ComponentDescriptor(Host& host, std::string label);

  ACFRESULT QueryInterface(const acfIID& iid, void** out) override;
  AAXHOST_REFCOUNTED()
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
  AAX_Result AddMIDINode(AAX_CFieldIndex index, int32_t nodeType, const char* nodeName,
                         uint32_t channelMask) override;
  AAX_Result AddProcessProc_Native(AAX_CProcessProc processProc, IACFUnknown* properties,
                                   AAX_CInstanceInitProc instanceInitProc, AAX_CBackgroundProc backgroundProc,
                                   AAX_CSelector* outSelector) override;

  const std::string& Label() const { return mLabel; }
  const std::vector<FieldRegistration>& Fields() const { return mFields; }
  const FieldRegistration* FindField(AAX_CFieldIndex index) const;
  const FieldRegistration* FindFieldOfKind(FieldKind kind) const;
  const std::vector<AuxOutputStem>& AuxOutputStems() const { return mAuxOutputStems; }
  AAX_CProcessProc ProcessProc() const { return mProcessProc; }
  AAX_CInstanceInitProc InstanceInitProc() const { return mInstanceInitProc; }
  PropertyMap* ProcessProperties() const { return mProcessProperties; }

private:
  AAX_Result AddField(const std::string& callName, std::vector<std::string> args, FieldRegistration field);

  Host& mHost;
  std::string mLabel;
  RefCount mRefs;
  std::vector<FieldRegistration> mFields;
  std::vector<AuxOutputStem> mAuxOutputStems;
  AAX_CProcessProc mProcessProc = nullptr;
  AAX_CInstanceInitProc mInstanceInitProc = nullptr;
  PropertyMap* mProcessProperties = nullptr;
};

}  // namespace aaxhost
