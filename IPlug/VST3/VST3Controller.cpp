#include "IPlug/VST3/VST3Controller.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "IPlug/EntryGuard.h"
#include "IPlug/VST3/IPlugVST3.h"
#include "IPlug/VST3/VST3Component.h"
#include "IPlug/VST3/VST3Stream.h"
#include "IPlug/VST3/VST3Text.h"
#include "IPlug/VST3/VST3View.h"

namespace iplug {
namespace {

using Unknown = VST3Unknown<VST3Controller>;
VST3Controller& Self(void* self) { return VST3Slot<VST3Controller>::Of(self); }
const VST3ParamTable& Table(void* self) { return Self(self).Plug().ParamTable(); }

// Every call: the host's UI thread.
v3_result V3_API Initialize(void* self, v3_funknown** context) {
  return GuardedEntry([&] { return Self(self).Initialize(context); }, V3_INTERNAL_ERR);
}
v3_result V3_API Terminate(void* self) {
  return GuardedEntry([&] { return Self(self).Terminate(); }, V3_INTERNAL_ERR);
}
v3_result V3_API SetComponentState(void* self, v3_bstream** stream) {
  return GuardedEntry([&] { return Self(self).SetComponentState(stream); }, V3_INTERNAL_ERR);
}
v3_result V3_API SetState(void* self, v3_bstream** stream) {
  return GuardedEntry([&] { return Self(self).SetState(stream); }, V3_INTERNAL_ERR);
}
v3_result V3_API GetState(void* self, v3_bstream** stream) {
  return GuardedEntry([&] { return Self(self).GetState(stream); }, V3_INTERNAL_ERR);
}
int32_t V3_API GetParameterCount(void* self) { return Table(self).Count(); }
v3_result V3_API GetParameterInfo(void* self, int32_t idx, v3_param_info* info) {
  if (!info) return V3_INVALID_ARG;
  return Table(self).Info(idx, *info) ? V3_OK : V3_INVALID_ARG;
}
v3_result V3_API GetParameterStringForValue(void* self, v3_param_id id, double normalized, v3_str_128 out) {
  if (!out) return V3_INVALID_ARG;
  return GuardedEntry(
      [&] {
        TextBuffer text;
        if (!Table(self).ValueText(id, normalized, text)) return V3_INVALID_ARG;
        Utf8ToUtf16(text.Get(), out, 128);
        return V3_OK;
      },
      V3_INTERNAL_ERR);
}
v3_result V3_API GetParameterValueForString(void* self, v3_param_id id, int16_t* input, double* out) {
  if (!input || !out) return V3_INVALID_ARG;
  return GuardedEntry(
      [&] {
        TextBuffer text;
        Utf16ToUtf8(input, 128, text);
        return Table(self).TextValue(id, text.Get(), *out) ? V3_OK : V3_FALSE;
      },
      V3_INTERNAL_ERR);
}
double V3_API NormalizedToPlain(void* self, v3_param_id id, double normalized) {
  return Table(self).ToPlain(id, normalized);
}
double V3_API PlainToNormalized(void* self, v3_param_id id, double plain) { return Table(self).ToNormalized(id, plain); }
double V3_API GetParamNormalized(void* self, v3_param_id id) {
  return GuardedEntry([&] { return Self(self).GetParamNormalized(id); }, 0.0);
}
v3_result V3_API SetParamNormalized(void* self, v3_param_id id, double normalized) {
  return GuardedEntry([&] { return Self(self).SetParamNormalized(id, normalized); }, V3_INTERNAL_ERR);
}
v3_result V3_API SetComponentHandler(void* self, v3_component_handler** handler) {
  return Self(self).SetComponentHandler(handler);
}
v3_plugin_view** V3_API CreateView(void* self, const char* name) {
  return static_cast<v3_plugin_view**>(GuardedEntry([&] { return Self(self).CreateView(name); }, nullptr));
}

v3_result V3_API Connect(void* self, v3_connection_point** other) {
  return GuardedEntry([&] { return Self(self).Connect(other); }, V3_INTERNAL_ERR);
}
v3_result V3_API Disconnect(void* self, v3_connection_point** other) {
  return GuardedEntry([&] { return Self(self).Disconnect(other); }, V3_INTERNAL_ERR);
}
v3_result V3_API Notify(void* self, v3_message** message) {
  return GuardedEntry([&] { return Self(self).Notify(message); }, V3_INTERNAL_ERR);
}

const v3_edit_controller_cpp kControllerTable{
    {Unknown::Query, Unknown::Ref, Unknown::Unref},
    {Initialize, Terminate},
    {SetComponentState, SetState, GetState, GetParameterCount, GetParameterInfo, GetParameterStringForValue,
     GetParameterValueForString, NormalizedToPlain, PlainToNormalized, GetParamNormalized, SetParamNormalized,
     SetComponentHandler, CreateView}};
const v3_connection_point_cpp kConnectionTable{{Unknown::Query, Unknown::Ref, Unknown::Unref},
                                               {Connect, Disconnect, Notify}};

}  // namespace

const void* VST3ControllerConnectionTable() { return &kConnectionTable; }

VST3Controller::VST3Controller(const VST3ClassIDs& ids)
    : mIDs(ids), mController{&kControllerTable, this}, mConnection{&kConnectionTable, this} {}

VST3Controller* VST3Controller::Make(const VST3ClassIDs& ids) {
  std::unique_ptr<VST3Controller> controller(new VST3Controller(ids));
  controller->mPlug.reset(ids.mMakePlug(InstanceInfo{}));
  if (!controller->mPlug) return nullptr;
  controller->mPlug->Prepare();
  controller->mPlug->AttachEditorPeer(controller.get());
  controller->mMeterValues.assign(static_cast<size_t>(controller->mPlug->NMeters()), 0.0);
  for (int m = 0; m < controller->mPlug->NMeters(); ++m)
    controller->mMeterValues[static_cast<size_t>(m)] = controller->mPlug->ParamTable().MeterNormalized(m, 0.0);
  return controller.release();
}

VST3Controller::~VST3Controller() {
  Terminate();
  if (mLinked) mLinked->Unlink(this);
  mPlug->AttachEditorPeer(nullptr);
}

uint32_t VST3Controller::Unref() {
  uint32_t remaining = 0;
  if (mRefs.Unref(remaining)) delete this;
  return remaining;
}

void* VST3Controller::Query(const v3_tuid iid) {
  void* found = nullptr;
  if (VST3Is(iid, v3_funknown_iid) || VST3Is(iid, v3_plugin_base_iid) || VST3Is(iid, v3_edit_controller_iid))
    found = mController.Interface();
  else if (VST3Is(iid, v3_connection_point_iid))
    found = mConnection.Interface();
  if (found) Ref();
  return found;
}

v3_result VST3Controller::Initialize(v3_funknown** context) {
  if (context && context != mContext) {
    VST3AddRef(context);
    VST3Release(mContext);
    mContext = context;
  }
  return V3_OK;
}

v3_result VST3Controller::Terminate() {
  if (mPeer) Disconnect(mPeer);
  SetComponentHandler(nullptr);
  VST3Release(mContext);
  mContext = nullptr;
  return V3_OK;
}

v3_result VST3Controller::SetComponentState(v3_bstream** stream) {
  std::vector<uint8_t> bytes;
  if (!VST3Stream::ReadAll(stream, bytes) || bytes.empty()) return V3_FALSE;
  if (!mPlug->ApplyState(bytes.data(), static_cast<int>(bytes.size()))) return V3_FALSE;
  mPlug->OnStateRestored();
  return V3_OK;
}

// The controller's own state is the editor's geometry, which only the editor's side knows.
v3_result VST3Controller::SetState(v3_bstream** stream) {
  std::vector<uint8_t> bytes;
  if (!VST3Stream::ReadAll(stream, bytes) || bytes.empty()) return V3_FALSE;
  ByteChunk geometry;
  geometry.AppendBytes(bytes.data(), static_cast<int>(bytes.size()));
  return mPlug->ReadEditorGeometry(geometry, 0) == geometry.Size() ? V3_OK : V3_FALSE;
}

v3_result VST3Controller::GetState(v3_bstream** stream) {
  ByteChunk geometry;
  if (!mPlug->WriteEditorGeometry(geometry)) return V3_FALSE;
  return VST3Stream::WriteAll(stream, geometry.Data(), geometry.Size()) ? V3_OK : V3_FALSE;
}

double VST3Controller::GetParamNormalized(v3_param_id id) {
  PollComponent();
  const VST3ParamTable::Entry* e = mPlug->ParamTable().Find(id);
  if (!e) return 0.0;
  switch (e->mKind) {
    case VST3ParamTable::Kind::kParam: return mPlug->GetParam(e->mIdx)->GetNormalized();
    case VST3ParamTable::Kind::kBypass: return mPlug->HostBypassValue();
    case VST3ParamTable::Kind::kMeter: return mMeterValues[static_cast<size_t>(e->mIdx)];
  }
  return 0.0;
}

v3_result VST3Controller::SetParamNormalized(v3_param_id id, double normalized) {
  PollComponent();
  const VST3ParamTable::Entry* e = mPlug->ParamTable().Find(id);
  if (!e || std::isnan(normalized)) return V3_INVALID_ARG;
  normalized = std::clamp(normalized, 0.0, 1.0);
  switch (e->mKind) {
    case VST3ParamTable::Kind::kParam:
      HostParams(*mPlug).SetFromHost(e->mIdx, normalized, HostParams::Scale::kNormalized,
                                     HostParams::EditorNotice::kDirect);
      break;
    case VST3ParamTable::Kind::kBypass: mPlug->SetHostBypassValue(normalized); break;
    case VST3ParamTable::Kind::kMeter:
      mMeterValues[static_cast<size_t>(e->mIdx)] = normalized;
      mPlug->ShowMeterNormalized(e->mIdx, normalized);
      break;
  }
  return V3_OK;
}

v3_result VST3Controller::SetComponentHandler(v3_component_handler** handler) {
  if (handler == mHandler) return V3_OK;
  VST3AddRef(handler);
  VST3Release(mHandler);
  mHandler = handler;
  return V3_OK;
}

void* VST3Controller::CreateView(const char* name) {
  if (!name || std::strcmp(name, "editor") != 0 || !mPlug->HasUI() || mView) return nullptr;
  VST3View* view = VST3View::Make(*this);
  return view ? view->Interface() : nullptr;
}

v3_result VST3Controller::Connect(v3_connection_point** other) {
  if (!other) return V3_INVALID_ARG;
  if (mPeer) Disconnect(mPeer);
  VST3AddRef(other);
  mPeer = other;
  if (*reinterpret_cast<const void* const*>(other) == VST3ComponentConnectionTable()) {
    mLinked = &VST3Slot<VST3Component>::Of(other);
    mLinked->Link(this);
  }
  return V3_OK;
}

v3_result VST3Controller::Disconnect(v3_connection_point** other) {
  if (!mPeer || (other && other != mPeer)) return V3_INVALID_ARG;
  if (mLinked) mLinked->Unlink(this);
  mLinked = nullptr;
  VST3Release(mPeer);
  mPeer = nullptr;
  return V3_OK;
}

// Only a link from this process is taken: a host that runs the two halves apart relays bytes
// whose pointer means nothing here.
v3_result VST3Controller::Notify(v3_message** message) {
  if (!message) return V3_INVALID_ARG;
  const char* id = v3_cpp_obj(message)->get_message_id(message);
  if (!id || std::strcmp(id, VST3ComponentLink::kMessageID) != 0) return V3_FALSE;
  v3_attribute_list** attributes = v3_cpp_obj(message)->get_attributes(message);
  const void* data = nullptr;
  uint32_t size = 0;
  if (!attributes || v3_cpp_obj(attributes)->get_binary(attributes, VST3ComponentLink::kAttribute, &data, &size) != V3_OK ||
      !data || size != sizeof(VST3ComponentLink))
    return V3_FALSE;
  VST3ComponentLink link;
  std::memcpy(&link, data, sizeof link);
  if (link.mMagic != VST3ComponentLink::kMagic || link.mProcess != VST3ComponentLink::ThisProcess() || !link.mComponent)
    return V3_FALSE;
  if (mLinked) mLinked->Unlink(this);
  mLinked = link.mComponent;
  mLinked->Link(this);
  return V3_OK;
}

void VST3Controller::PollComponent() {
  if (mLinked && mLinked->Plug().TakeLatencyChange() && mHandler)
    v3_cpp_obj(mHandler)->restart_component(mHandler, V3_RESTART_LATENCY_CHANGED);
}

// ---- the editor's edits ----

void VST3Controller::BeginEdit(int paramIdx) {
  if (mHandler) v3_cpp_obj(mHandler)->begin_edit(mHandler, HostParams::HostID(paramIdx));
}

void VST3Controller::PerformEdit(int paramIdx, double normalized) {
  if (mHandler) v3_cpp_obj(mHandler)->perform_edit(mHandler, HostParams::HostID(paramIdx), normalized);
}

void VST3Controller::EndEdit(int paramIdx) {
  if (mHandler) v3_cpp_obj(mHandler)->end_edit(mHandler, HostParams::HostID(paramIdx));
}

bool VST3Controller::EditorResized(int width, int height) { return mView && mView->RequestResize(width, height); }

}  // namespace iplug
