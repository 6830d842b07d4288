#include "host/aax/ComponentDescriptor.h"

#include <utility>

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"
#include "host/aax/CallLog.h"
#include "host/aax/Host.h"

namespace aaxhost {

const char* FieldKindName(FieldKind kind) {
  switch (kind) {
    case FieldKind::Reserved: return "reserved";
    case FieldKind::AudioIn: return "audio in";
    case FieldKind::AudioOut: return "audio out";
    case FieldKind::BufferLength: return "buffer length";
    case FieldKind::SampleRate: return "sample rate";
    case FieldKind::Clock: return "clock";
    case FieldKind::SideChainIn: return "side-chain in";
    case FieldKind::DataInPort: return "data-in port";
    case FieldKind::PrivateData: return "private data";
    case FieldKind::TemporaryData: return "temporary data";
    case FieldKind::DmaInstance: return "DMA instance";
    case FieldKind::Meters: return "meters";
    case FieldKind::MIDINode: return "MIDI node";
  }
  return "?";
}

ComponentDescriptor::ComponentDescriptor(Host& host, std::string label) : mHost(host), mLabel(std::move(label)) {}

ACFRESULT ComponentDescriptor::QueryInterface(const acfIID& iid, void** out) {
  if (!out) return ACF_E_POINTER;
  *out = nullptr;
  if (iid != IID_IACFUnknown && iid != IID_IAAXComponentDescriptorV1) return ACF_E_NOINTERFACE;
  *out = static_cast<AAX_IACFComponentDescriptor*>(this);
  AddRef();
  return ACF_OK;
}

// A field index may be taken once; a second registration or a negative index is refused, so a
// description that overlaps two fields fails here instead of corrupting a context later.
AAX_Result ComponentDescriptor::AddField(const std::string& callName, std::vector<std::string> args,
                                         FieldRegistration field) {
  const AAX_Result result = mHost.Record(mLabel, callName, std::move(args));
  if (result != AAX_SUCCESS) return result;
  if (field.index < 0 || FindField(field.index)) return AAX_ERROR_INVALID_FIELD_INDEX;
  mFields.push_back(std::move(field));
  return AAX_SUCCESS;
}

AAX_Result ComponentDescriptor::Clear() {
  const AAX_Result result = mHost.Record(mLabel, "Clear", {});
  if (result != AAX_SUCCESS) return result;
  mFields.clear();
  mAuxOutputStems.clear();
  mProcessProc = nullptr;
  mInstanceInitProc = nullptr;
  mProcessProperties = nullptr;
  return AAX_SUCCESS;
}

AAX_Result ComponentDescriptor::AddReservedField(AAX_CFieldIndex index, uint32_t fieldType) {
  return AddField("AddReservedField", {std::to_string(index), std::to_string(fieldType)},
                  {index, FieldKind::Reserved, 0, fieldType, {}, 0, {}});
}

AAX_Result ComponentDescriptor::AddAudioIn(AAX_CFieldIndex index) {
  return AddField("AddAudioIn", {std::to_string(index)}, {index, FieldKind::AudioIn, 0, 0, {}, 0, {}});
}

AAX_Result ComponentDescriptor::AddAudioOut(AAX_CFieldIndex index) {
  return AddField("AddAudioOut", {std::to_string(index)}, {index, FieldKind::AudioOut, 0, 0, {}, 0, {}});
}

AAX_Result ComponentDescriptor::AddAudioBufferLength(AAX_CFieldIndex index) {
  return AddField("AddAudioBufferLength", {std::to_string(index)}, {index, FieldKind::BufferLength, 0, 0, {}, 0, {}});
}

AAX_Result ComponentDescriptor::AddSampleRate(AAX_CFieldIndex index) {
  return AddField("AddSampleRate", {std::to_string(index)}, {index, FieldKind::SampleRate, 0, 0, {}, 0, {}});
}

AAX_Result ComponentDescriptor::AddClock(AAX_CFieldIndex index) {
  return AddField("AddClock", {std::to_string(index)}, {index, FieldKind::Clock, 0, 0, {}, 0, {}});
}

AAX_Result ComponentDescriptor::AddSideChainIn(AAX_CFieldIndex index) {
  return AddField("AddSideChainIn", {std::to_string(index)}, {index, FieldKind::SideChainIn, 0, 0, {}, 0, {}});
}

AAX_Result ComponentDescriptor::AddDataInPort(AAX_CFieldIndex index, uint32_t packetSize, int32_t portType) {
  return AddField("AddDataInPort", {std::to_string(index), std::to_string(packetSize), std::to_string(portType)},
                  {index, FieldKind::DataInPort, packetSize, portType, {}, 0, {}});
}

AAX_Result ComponentDescriptor::AddAuxOutputStem(AAX_CFieldIndex index, uint32_t stemFormat, const char* name) {
  const AAX_Result result = mHost.Record(
      mLabel, "AddAuxOutputStem", {std::to_string(index), Hex(stemFormat), Text(name)});
  if (result != AAX_SUCCESS) return result;
  mAuxOutputStems.push_back({index, stemFormat, name ? name : ""});
  return AAX_SUCCESS;
}

AAX_Result ComponentDescriptor::AddPrivateData(AAX_CFieldIndex index, int32_t dataSize, uint32_t options) {
  if (dataSize < 0) {
    mHost.Record(mLabel, "AddPrivateData", {std::to_string(index), std::to_string(dataSize), std::to_string(options)});
    return AAX_ERROR_INVALID_ARGUMENT;
  }
  return AddField("AddPrivateData", {std::to_string(index), std::to_string(dataSize), std::to_string(options)},
                  {index, FieldKind::PrivateData, dataSize, options, {}, 0, {}});
}

AAX_Result ComponentDescriptor::AddTemporaryData(AAX_CFieldIndex index, uint32_t dataElementSize) {
  return AddField("AddTemporaryData", {std::to_string(index), std::to_string(dataElementSize)},
                  {index, FieldKind::TemporaryData, dataElementSize, 0, {}, 0, {}});
}

AAX_Result ComponentDescriptor::AddDmaInstance(AAX_CFieldIndex index, int32_t mode) {
  return AddField("AddDmaInstance", {std::to_string(index), std::to_string(mode)},
                  {index, FieldKind::DmaInstance, 0, mode, {}, 0, {}});
}

AAX_Result ComponentDescriptor::AddMeters(AAX_CFieldIndex index, const AAX_CTypeID* meterIDs, uint32_t meterCount) {
  std::vector<AAX_CTypeID> ids;
  std::vector<std::string> args{std::to_string(index)};
  if (meterIDs) {
    ids.assign(meterIDs, meterIDs + meterCount);
  }
  std::string list = "[";
  for (std::size_t i = 0; i < ids.size(); ++i) list += (i ? " " : "") + FourCC(ids[i]);
  args.push_back(list + "]");
  args.push_back(std::to_string(meterCount));
  if (!meterIDs && meterCount) {
    mHost.Record(mLabel, "AddMeters", std::move(args));
    return AAX_ERROR_NULL_ARGUMENT;
  }
  return AddField("AddMeters", std::move(args), {index, FieldKind::Meters, meterCount, 0, {}, 0, std::move(ids)});
}

AAX_Result ComponentDescriptor::AddMIDINode(AAX_CFieldIndex index, int32_t nodeType, const char* nodeName,
                                            uint32_t channelMask) {
  return AddField("AddMIDINode", {std::to_string(index), std::to_string(nodeType), Text(nodeName), Hex(channelMask)},
                  {index, FieldKind::MIDINode, 0, nodeType, nodeName ? nodeName : "", channelMask, {}});
}

AAX_Result ComponentDescriptor::AddProcessProc_Native(AAX_CProcessProc processProc, IACFUnknown* properties,
                                                      AAX_CInstanceInitProc instanceInitProc,
                                                      AAX_CBackgroundProc backgroundProc, AAX_CSelector* outSelector) {
  PropertyMap* map = mHost.FindPropertyMap(properties);
  const AAX_Result result = mHost.Record(
      mLabel, "AddProcessProc_Native",
      {processProc ? "proc" : "(null)", map ? map->Label() : (properties ? "(unknown)" : "(null)"),
       instanceInitProc ? "proc" : "(null)", backgroundProc ? "proc" : "(null)", outSelector ? "selector" : "(null)"});
  if (result != AAX_SUCCESS) return result;
  if (!processProc) return AAX_ERROR_NULL_ARGUMENT;
  mProcessProc = processProc;
  mInstanceInitProc = instanceInitProc;
  mProcessProperties = map;
  if (outSelector) *outSelector = 1;
  return AAX_SUCCESS;
}

const FieldRegistration* ComponentDescriptor::FindField(AAX_CFieldIndex index) const {
  for (const FieldRegistration& field : mFields) {
    if (field.index == index) return &field;
  }
  return nullptr;
}

const FieldRegistration* ComponentDescriptor::FindFieldOfKind(FieldKind kind) const {
  for (const FieldRegistration& field : mFields) {
    if (field.kind == kind) return &field;
  }
  return nullptr;
}

}  // namespace aaxhost
