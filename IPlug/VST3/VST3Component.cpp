#include "IPlug/VST3/VST3Component.h"

#include <bit>
#include <cstring>
#include <vector>

#include "IPlug/EntryGuard.h"
#include "IPlug/VST3/IPlugVST3.h"
#include "IPlug/VST3/VST3Controller.h"
#include "IPlug/VST3/VST3Stream.h"
#include "IPlug/VST3/VST3Text.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace iplug {
namespace {

using Unknown = VST3Unknown<VST3Component>;
VST3Component& Self(void* self) { return VST3Slot<VST3Component>::Of(self); }

// Host main thread.
v3_result V3_API Initialize(void* self, v3_funknown** context) {
  return GuardedEntry([&] { return Self(self).Initialize(context); }, V3_INTERNAL_ERR);
}
v3_result V3_API Terminate(void* self) {
  return GuardedEntry([&] { return Self(self).Terminate(); }, V3_INTERNAL_ERR);
}
v3_result V3_API GetControllerClassID(void* self, v3_tuid classID) {
  if (!classID) return V3_INVALID_ARG;
  VST3ClassIDs::ToTUID(Self(self).ClassIDs().mController, classID);
  return V3_OK;
}
v3_result V3_API SetIOMode(void* /*self*/, int32_t /*mode*/) { return V3_OK; }
int32_t V3_API GetBusCount(void* self, int32_t mediaType, int32_t direction) {
  return Self(self).BusCount(mediaType, direction);
}
v3_result V3_API GetBusInfo(void* self, int32_t mediaType, int32_t direction, int32_t idx, v3_bus_info* info) {
  if (!info) return V3_INVALID_ARG;
  return GuardedEntry([&] { return Self(self).BusInfo(mediaType, direction, idx, *info); }, V3_INTERNAL_ERR);
}
v3_result V3_API GetRoutingInfo(void* /*self*/, v3_routing_info* /*in*/, v3_routing_info* /*out*/) {
  return V3_NOT_IMPLEMENTED;
}
v3_result V3_API ActivateBus(void* self, int32_t mediaType, int32_t direction, int32_t idx, v3_bool state) {
  return Self(self).ActivateBus(mediaType, direction, idx, state != 0);
}
// Host main thread, not while processing.
v3_result V3_API SetActive(void* self, v3_bool state) {
  return GuardedEntry(
      [&] {
        Self(self).Plug().SetActive(state != 0);
        return V3_OK;
      },
      V3_INTERNAL_ERR);
}
// Host main thread.
v3_result V3_API SetState(void* self, v3_bstream** stream) {
  return GuardedEntry([&] { return Self(self).SetState(stream); }, V3_INTERNAL_ERR);
}
v3_result V3_API GetState(void* self, v3_bstream** stream) {
  return GuardedEntry([&] { return Self(self).GetState(stream); }, V3_INTERNAL_ERR);
}

// Host main thread, while inactive.
v3_result V3_API SetBusArrangements(void* self, v3_speaker_arrangement* inputs, int32_t nIn,
                                    v3_speaker_arrangement* outputs, int32_t nOut) {
  return Self(self).SetBusArrangements(inputs, nIn, outputs, nOut);
}
v3_result V3_API GetBusArrangement(void* self, int32_t direction, int32_t idx, v3_speaker_arrangement* arrangement) {
  if (!arrangement) return V3_INVALID_ARG;
  return Self(self).BusArrangement(direction, idx, *arrangement);
}
v3_result V3_API CanProcessSampleSize(void* /*self*/, int32_t size) {
  return size == V3_SAMPLE_32 || size == V3_SAMPLE_64 ? V3_OK : V3_FALSE;
}
// Any thread.
uint32_t V3_API GetLatencySamples(void* self) { return static_cast<uint32_t>(std::max(Self(self).Plug().GetLatency(), 0)); }
// Host main thread, while inactive.
v3_result V3_API SetupProcessing(void* self, v3_process_setup* setup) {
  if (!setup) return V3_INVALID_ARG;
  return GuardedEntry([&] { return Self(self).Plug().SetupProcessing(*setup) ? V3_OK : V3_FALSE; }, V3_INTERNAL_ERR);
}
v3_result V3_API SetProcessing(void* /*self*/, v3_bool /*state*/) { return V3_OK; }
// Audio thread. Allocates nothing, takes no lock.
v3_result V3_API Process(void* self, v3_process_data* data) {
  if (!data) return V3_INVALID_ARG;
  return GuardedEntry([&] { return Self(self).Plug().Process(*data); }, V3_INTERNAL_ERR);
}
// Any thread. Nothing sounds on past the latency.
uint32_t V3_API GetTailSamples(void* /*self*/) { return 0; }

// Host main thread.
v3_result V3_API Connect(void* self, v3_connection_point** other) {
  return GuardedEntry([&] { return Self(self).Connect(other); }, V3_INTERNAL_ERR);
}
v3_result V3_API Disconnect(void* self, v3_connection_point** other) {
  return GuardedEntry([&] { return Self(self).Disconnect(other); }, V3_INTERNAL_ERR);
}
v3_result V3_API Notify(void* /*self*/, v3_message** /*message*/) { return V3_OK; }

const v3_component_cpp kComponentTable{
    {Unknown::Query, Unknown::Ref, Unknown::Unref},
    {Initialize, Terminate},
    {GetControllerClassID, SetIOMode, GetBusCount, GetBusInfo, GetRoutingInfo, ActivateBus, SetActive, SetState,
     GetState}};
const v3_audio_processor_cpp kProcessorTable{
    {Unknown::Query, Unknown::Ref, Unknown::Unref},
    {SetBusArrangements, GetBusArrangement, CanProcessSampleSize, GetLatencySamples, SetupProcessing, SetProcessing,
     Process, GetTailSamples}};
const v3_connection_point_cpp kConnectionTable{{Unknown::Query, Unknown::Ref, Unknown::Unref},
                                               {Connect, Disconnect, Notify}};

int Channels(v3_speaker_arrangement arrangement) { return std::popcount(arrangement); }

v3_speaker_arrangement Arrangement(int channels) {
  return channels == 1 ? V3_SPEAKER_M : channels == 2 ? (V3_SPEAKER_L | V3_SPEAKER_R) : 0;
}

}  // namespace

VST3Component::VST3Component(const VST3ClassIDs& ids)
    : mIDs(ids), mComponent{&kComponentTable, this}, mProcessor{&kProcessorTable, this},
      mConnection{&kConnectionTable, this} {}

VST3Component* VST3Component::Make(const VST3ClassIDs& ids) {
  std::unique_ptr<VST3Component> component(new VST3Component(ids));
  component->mPlug.reset(ids.mMakePlug(InstanceInfo{}));
  if (!component->mPlug) return nullptr;
  component->mPlug->Prepare();
  return component.release();
}

VST3Component::~VST3Component() {
  Terminate();
  if (mLinked) mLinked->Link(nullptr);
  if (mOwnController) {
    mOwnController->Link(nullptr);
    mOwnController->Unref();
  }
}

uint32_t VST3Component::Unref() {
  uint32_t remaining = 0;
  if (mRefs.Unref(remaining)) delete this;
  return remaining;
}

void* VST3Component::Query(const v3_tuid iid) {
  void* found = nullptr;
  if (VST3Is(iid, v3_funknown_iid) || VST3Is(iid, v3_plugin_base_iid) || VST3Is(iid, v3_component_iid))
    found = mComponent.Interface();
  else if (VST3Is(iid, v3_audio_processor_iid))
    found = mProcessor.Interface();
  else if (VST3Is(iid, v3_connection_point_iid))
    found = mConnection.Interface();
  if (found) {
    Ref();
    return found;
  }
  if (VST3Is(iid, v3_edit_controller_iid)) {
    // A host that keeps one object for both halves: the controller is made once, for good.
    if (!mOwnController) {
      mOwnController = VST3Controller::Make(mIDs);
      if (!mOwnController) return nullptr;
      mOwnController->Initialize(mContext);
      mOwnController->Link(this);
      Link(mOwnController);
    }
    return mOwnController->Query(iid);
  }
  return nullptr;
}

v3_result VST3Component::Initialize(v3_funknown** context) {
  if (context && context != mContext) {
    VST3AddRef(context);
    VST3Release(mContext);
    mContext = context;
    if (auto** app = VST3Query<v3_host_application>(context, v3_host_application_iid)) {
      v3_str_128 name = {};
      TextBuffer hostName;
      if (v3_cpp_obj(app)->get_name(app, name) == V3_OK) Utf16ToUtf8(name, 128, hostName);
      mPlug->SetHost(hostName.Get(), 0);
      VST3Release(app);
    }
  }
  return V3_OK;
}

v3_result VST3Component::Terminate() {
  if (mPeer) Disconnect(mPeer);
  VST3Release(mContext);
  mContext = nullptr;
  return V3_OK;
}

int32_t VST3Component::BusCount(int32_t mediaType, int32_t direction) const {
  if (mediaType != V3_AUDIO) return 0;
  if (direction == V3_INPUT) return (mPlug->MainInputChannels() > 0 ? 1 : 0) + (mPlug->KeyChannels() > 0 ? 1 : 0);
  return direction == V3_OUTPUT ? 1 : 0;
}

v3_result VST3Component::BusInfo(int32_t mediaType, int32_t direction, int32_t idx, v3_bus_info& info) const {
  if (mediaType != V3_AUDIO || idx < 0 || idx >= BusCount(mediaType, direction)) return V3_INVALID_ARG;
  info = {};
  info.media_type = V3_AUDIO;
  info.direction = direction;
  const bool key = direction == V3_INPUT && idx == 1;
  info.channel_count = key ? mPlug->KeyChannels() : direction == V3_INPUT ? mPlug->MainInputChannels()
                                                                          : mPlug->MainOutputChannels();
  info.bus_type = key ? V3_AUX : V3_MAIN;
  info.flags = key ? 0 : V3_DEFAULT_ACTIVE;
  TextBuffer name;
  const Direction dir = direction == V3_INPUT ? kInput : kOutput;
  mPlug->BusDisplayName(dir, idx, BusCount(mediaType, direction), name);
  Utf8ToUtf16(name.Get(), info.bus_name, 128);
  return V3_OK;
}

v3_result VST3Component::ActivateBus(int32_t mediaType, int32_t direction, int32_t idx, bool active) {
  if (mediaType != V3_AUDIO || idx < 0 || idx >= BusCount(mediaType, direction)) return V3_INVALID_ARG;
  if (direction == V3_INPUT && idx == 1) mPlug->SetKeyActive(active);
  return V3_OK;
}

v3_result VST3Component::SetState(v3_bstream** stream) {
  std::vector<uint8_t> bytes;
  if (!VST3Stream::ReadAll(stream, bytes) || bytes.empty()) return V3_FALSE;
  if (!mPlug->ApplyState(bytes.data(), static_cast<int>(bytes.size()))) return V3_FALSE;
  mPlug->OnStateRestored();
  return V3_OK;
}

v3_result VST3Component::GetState(v3_bstream** stream) {
  ByteChunk state;
  if (!mPlug->SerializeState(state)) return V3_FALSE;
  return VST3Stream::WriteAll(stream, state.Data(), state.Size()) ? V3_OK : V3_FALSE;
}

v3_result VST3Component::SetBusArrangements(const v3_speaker_arrangement* inputs, int32_t nIn,
                                            const v3_speaker_arrangement* outputs, int32_t nOut) {
  if (nOut != 1 || !outputs || nIn < 1 || nIn > BusCount(V3_AUDIO, V3_INPUT) || !inputs) return V3_FALSE;
  if (nIn > 1 && Channels(inputs[1]) != mPlug->KeyChannels()) return V3_FALSE;
  return mPlug->ArrangeBuses(Channels(inputs[0]), Channels(outputs[0])) ? V3_OK : V3_FALSE;
}

v3_result VST3Component::BusArrangement(int32_t direction, int32_t idx, v3_speaker_arrangement& arrangement) const {
  if (idx < 0 || idx >= BusCount(V3_AUDIO, direction)) return V3_INVALID_ARG;
  const bool key = direction == V3_INPUT && idx == 1;
  arrangement = Arrangement(key ? mPlug->KeyChannels()
                                : direction == V3_INPUT ? mPlug->MainInputChannels() : mPlug->MainOutputChannels());
  return V3_OK;
}

v3_result VST3Component::Connect(v3_connection_point** other) {
  if (!other) return V3_INVALID_ARG;
  if (mPeer) Disconnect(mPeer);
  VST3AddRef(other);
  mPeer = other;
  // Joined directly to a controller of this bundle (not through a host's proxy): the two share
  // what the processing tells the controller.
  if (*reinterpret_cast<const void* const*>(other) == VST3ControllerConnectionTable()) {
    Link(&VST3Slot<VST3Controller>::Of(other));
    mLinked->Link(this);
  } else {
    SendLink(other);
  }
  return V3_OK;
}

void VST3Component::SendLink(v3_connection_point** other) {
  auto** app = VST3Query<v3_host_application>(mContext, v3_host_application_iid);
  if (!app) return;
  v3_tuid messageID;
  std::memcpy(messageID, v3_message_iid, sizeof messageID);
  v3_message** message = nullptr;
  v3_cpp_obj(app)->create_instance(app, messageID, messageID, reinterpret_cast<void**>(&message));
  VST3Release(app);
  if (!message) return;
  v3_cpp_obj(message)->set_message_id(message, VST3ComponentLink::kMessageID);
  if (v3_attribute_list** attributes = v3_cpp_obj(message)->get_attributes(message)) {
    VST3ComponentLink link;
    link.mProcess = VST3ComponentLink::ThisProcess();
    link.mComponent = this;
    v3_cpp_obj(attributes)->set_binary(attributes, VST3ComponentLink::kAttribute, &link, sizeof link);
    v3_cpp_obj(other)->notify(other, message);
  }
  VST3Release(message);
}

uint64_t VST3ComponentLink::ThisProcess() {
#if defined(_WIN32)
  return GetCurrentProcessId();
#else
  return static_cast<uint64_t>(getpid());
#endif
}

v3_result VST3Component::Disconnect(v3_connection_point** other) {
  if (!mPeer || (other && other != mPeer)) return V3_INVALID_ARG;
  if (mLinked) mLinked->Link(nullptr);
  mLinked = nullptr;
  VST3Release(mPeer);
  mPeer = nullptr;
  return V3_OK;
}

const void* VST3ComponentConnectionTable() { return &kConnectionTable; }

}  // namespace iplug
