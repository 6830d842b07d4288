#include "IPlug/VST3/VST3Rig.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace vst3test {
namespace {

template <typename T>
T& Self(void* self) {
  return *static_cast<T*>(self);
}

v3_result V3_API NoInterface(void* /*self*/, const v3_tuid /*iid*/, void** obj) {
  *obj = nullptr;
  return V3_NO_INTERFACE;
}
uint32_t V3_API Counted(void* /*self*/) { return 1; }

// ---- stream ----
v3_result V3_API Read(void* self, void* buffer, int32_t n, int32_t* got) {
  Stream& s = Self<Stream>(self);
  const int64_t left = static_cast<int64_t>(s.mBytes.size()) - s.mPos;
  const int32_t count = static_cast<int32_t>(std::clamp<int64_t>(left, 0, std::max(n, 0)));
  if (count > 0) std::memcpy(buffer, s.mBytes.data() + s.mPos, static_cast<size_t>(count));
  s.mPos += count;
  if (got) *got = count;
  return V3_OK;
}
v3_result V3_API Write(void* self, void* buffer, int32_t n, int32_t* written) {
  Stream& s = Self<Stream>(self);
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  s.mBytes.resize(static_cast<size_t>(std::max<int64_t>(s.mPos + n, static_cast<int64_t>(s.mBytes.size()))));
  std::copy(bytes, bytes + n, s.mBytes.begin() + s.mPos);
  s.mPos += n;
  if (written) *written = n;
  return V3_OK;
}
v3_result V3_API Seek(void* self, int64_t pos, int32_t mode, int64_t* result) {
  Stream& s = Self<Stream>(self);
  const int64_t base = mode == V3_SEEK_SET ? 0 : mode == V3_SEEK_CUR ? s.mPos : static_cast<int64_t>(s.mBytes.size());
  s.mPos = std::clamp<int64_t>(base + pos, 0, static_cast<int64_t>(s.mBytes.size()));
  if (result) *result = s.mPos;
  return V3_OK;
}
v3_result V3_API Tell(void* self, int64_t* pos) {
  if (pos) *pos = Self<Stream>(self).mPos;
  return V3_OK;
}
struct StreamTable : v3_funknown {
  v3_bstream stream;
};
const StreamTable kStream{{NoInterface, Counted, Counted}, {Read, Write, Seek, Tell}};

// ---- parameter changes ----
v3_param_id V3_API QueueID(void* self) { return Self<ParamChanges::Queue>(self).mID; }
int32_t V3_API PointCount(void* self) { return static_cast<int32_t>(Self<ParamChanges::Queue>(self).mPoints.size()); }
v3_result V3_API GetPoint(void* self, int32_t idx, int32_t* offset, double* value) {
  auto& points = Self<ParamChanges::Queue>(self).mPoints;
  if (idx < 0 || idx >= static_cast<int32_t>(points.size())) return V3_INVALID_ARG;
  *offset = points[static_cast<size_t>(idx)].first;
  *value = points[static_cast<size_t>(idx)].second;
  return V3_OK;
}
v3_result V3_API AddPoint(void* self, int32_t offset, double value, int32_t* idx) {
  auto& points = Self<ParamChanges::Queue>(self).mPoints;
  if (points.size() == points.capacity()) return V3_NOMEM;  // never grows on the audio thread
  points.emplace_back(offset, value);
  if (idx) *idx = static_cast<int32_t>(points.size()) - 1;
  return V3_OK;
}
struct QueueTable : v3_funknown {
  v3_param_value_queue queue;
};
const QueueTable kQueue{{NoInterface, Counted, Counted}, {QueueID, PointCount, GetPoint, AddPoint}};

int32_t V3_API ParamCount(void* self) { return Self<ParamChanges>(self).mCount; }
v3_param_value_queue** V3_API ParamData(void* self, int32_t idx) {
  ParamChanges& c = Self<ParamChanges>(self);
  if (idx < 0 || idx >= c.mCount) return nullptr;
  return reinterpret_cast<v3_param_value_queue**>(&c.mQueues[static_cast<size_t>(idx)]);
}
v3_param_value_queue** V3_API AddParamData(void* self, v3_param_id* id, int32_t* index) {
  ParamChanges& c = Self<ParamChanges>(self);
  for (int i = 0; i < c.mCount; ++i)
    if (c.mQueues[static_cast<size_t>(i)].mID == *id) {
      if (index) *index = i;
      return reinterpret_cast<v3_param_value_queue**>(&c.mQueues[static_cast<size_t>(i)]);
    }
  if (c.mCount == static_cast<int>(c.mQueues.size())) return nullptr;
  ParamChanges::Queue& q = c.mQueues[static_cast<size_t>(c.mCount)];
  q.mID = *id;
  q.mPoints.clear();
  if (index) *index = c.mCount;
  ++c.mCount;
  return reinterpret_cast<v3_param_value_queue**>(&q);
}
struct ChangesTable : v3_funknown {
  v3_param_changes changes;
};
const ChangesTable kChanges{{NoInterface, Counted, Counted}, {ParamCount, ParamData, AddParamData}};

// ---- component handler ----
v3_result V3_API BeginEdit(void* self, v3_param_id id) {
  Self<Handler>(self).mCalls.push_back("begin " + std::to_string(id));
  return V3_OK;
}
v3_result V3_API PerformEdit(void* self, v3_param_id id, double value) {
  Self<Handler>(self).mCalls.push_back("perform " + std::to_string(id) + " " + std::to_string(value));
  return V3_OK;
}
v3_result V3_API EndEdit(void* self, v3_param_id id) {
  Self<Handler>(self).mCalls.push_back("end " + std::to_string(id));
  return V3_OK;
}
v3_result V3_API Restart(void* self, int32_t flags) {
  Self<Handler>(self).mCalls.push_back("restart " + std::to_string(flags));
  Self<Handler>(self).mRestartThreads.push_back(std::this_thread::get_id());
  return V3_OK;
}
struct HandlerTable : v3_funknown {
  v3_component_handler handler;
};
const HandlerTable kHandler{{NoInterface, Counted, Counted}, {BeginEdit, PerformEdit, EndEdit, Restart}};

// ---- run loop and frame ----
v3_result V3_API RegisterEvents(void* self, v3_event_handler** handler, int fd) {
  Self<RunLoop>(self).mHandlers.emplace_back(handler, fd);
  return V3_OK;
}
v3_result V3_API UnregisterEvents(void* self, v3_event_handler** handler) {
  auto& h = Self<RunLoop>(self).mHandlers;
  h.erase(std::remove_if(h.begin(), h.end(), [&](const auto& e) { return e.first == handler; }), h.end());
  return V3_OK;
}
v3_result V3_API RegisterTimer(void* self, v3_timer_handler** handler, uint64_t /*ms*/) {
  Self<RunLoop>(self).mTimers.push_back(handler);
  return V3_OK;
}
v3_result V3_API UnregisterTimer(void* self, v3_timer_handler** handler) {
  auto& t = Self<RunLoop>(self).mTimers;
  t.erase(std::remove(t.begin(), t.end(), handler), t.end());
  return V3_OK;
}
const v3_run_loop_cpp kRunLoop{{NoInterface, Counted, Counted},
                               {RegisterEvents, UnregisterEvents, RegisterTimer, UnregisterTimer}};

v3_result V3_API FrameQuery(void* self, const v3_tuid iid, void** obj) {
  if (v3_tuid_match(iid, v3_run_loop_iid)) {
    *obj = &Self<Frame>(self).mRunLoop;
    return V3_OK;
  }
  *obj = nullptr;
  return V3_NO_INTERFACE;
}
v3_result V3_API ResizeView(void* self, v3_plugin_view** /*view*/, v3_view_rect* rect) {
  Self<Frame>(self).mResizes.push_back(*rect);
  return V3_OK;
}
const v3_plugin_frame_cpp kFrame{{FrameQuery, Counted, Counted}, {ResizeView}};

// ---- host application, messages and proxies ----
using Message = HostApplication::Message;
v3_result V3_API SetBinary(void* self, const char* id, const void* data, uint32_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  Self<Message::Attributes>(self).mBinary.emplace_back(id, std::vector<uint8_t>(bytes, bytes + size));
  return V3_OK;
}
v3_result V3_API GetBinary(void* self, const char* id, const void** data, uint32_t* size) {
  for (const auto& [key, bytes] : Self<Message::Attributes>(self).mBinary)
    if (key == id) {
      *data = bytes.data();
      *size = static_cast<uint32_t>(bytes.size());
      return V3_OK;
    }
  return V3_FALSE;
}
v3_result V3_API NoInt(void*, const char*, int64_t) { return V3_NOT_IMPLEMENTED; }
v3_result V3_API NoGetInt(void*, const char*, int64_t*) { return V3_NOT_IMPLEMENTED; }
v3_result V3_API NoFloat(void*, const char*, double) { return V3_NOT_IMPLEMENTED; }
v3_result V3_API NoGetFloat(void*, const char*, double*) { return V3_NOT_IMPLEMENTED; }
v3_result V3_API NoString(void*, const char*, const int16_t*) { return V3_NOT_IMPLEMENTED; }
v3_result V3_API NoGetString(void*, const char*, int16_t*, uint32_t) { return V3_NOT_IMPLEMENTED; }
const v3_attribute_list_cpp kAttributes{{NoInterface, Counted, Counted},
                                        {NoInt, NoGetInt, NoFloat, NoGetFloat, NoString, NoGetString, SetBinary, GetBinary}};

const char* V3_API MessageID(void* self) { return Self<Message>(self).mID.c_str(); }
void V3_API SetMessageID(void* self, const char* id) { Self<Message>(self).mID = id ? id : ""; }
v3_attribute_list** V3_API MessageAttributes(void* self) {
  return reinterpret_cast<v3_attribute_list**>(&Self<Message>(self).mAttributes);
}
const v3_message_cpp kMessage{{NoInterface, Counted, Counted}, {MessageID, SetMessageID, MessageAttributes}};

v3_result V3_API AppQuery(void* self, const v3_tuid iid, void** obj) {
  *obj = v3_tuid_match(iid, v3_host_application_iid) || v3_tuid_match(iid, v3_funknown_iid) ? self : nullptr;
  return *obj ? V3_OK : V3_NO_INTERFACE;
}
v3_result V3_API AppName(void* /*self*/, v3_str_128 name) {
  const char text[] = "Test Host";
  for (size_t i = 0; i < sizeof text; ++i) name[i] = text[i];
  return V3_OK;
}
v3_result V3_API AppCreate(void* self, v3_tuid cid, v3_tuid iid, void** obj) {
  *obj = nullptr;
  if (!v3_tuid_match(cid, v3_message_iid) || !v3_tuid_match(iid, v3_message_iid)) return V3_NO_INTERFACE;
  auto& messages = Self<HostApplication>(self).mMessages;
  messages.push_back(std::make_unique<Message>(Message{&kMessage, "", {&kAttributes, {}}}));
  *obj = messages.back().get();
  return V3_OK;
}
const v3_host_application_cpp kApp{{AppQuery, Counted, Counted}, {AppName, AppCreate}};

v3_result V3_API ProxyConnect(void* /*self*/, v3_connection_point** /*other*/) { return V3_OK; }
v3_result V3_API ProxyNotify(void* self, v3_message** message) {
  v3_connection_point** target = Self<Proxy>(self).mTarget;
  return v3_cpp_obj(target)->notify(target, message);
}
const v3_connection_point_cpp kProxy{{NoInterface, Counted, Counted}, {ProxyConnect, ProxyConnect, ProxyNotify}};

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

std::string BinaryPath() { return Environment("TOLLENBROOK_VST3_BINARY"); }
std::string BundlePath() { return Environment("TOLLENBROOK_VST3_BUNDLE"); }

Stream::Stream() : mTable(&kStream) {}
Stream::Stream(std::vector<uint8_t> bytes) : mTable(&kStream), mBytes(std::move(bytes)) {}

ParamChanges::ParamChanges() : mTable(&kChanges), mQueues(64) {
  for (Queue& q : mQueues) {
    q.mTable = &kQueue;
    q.mPoints.reserve(64);
  }
}

void ParamChanges::Add(v3_param_id id, int32_t offset, double value) {
  int32_t index = 0;
  v3_param_value_queue** q = AddParamData(this, &id, &index);
  AddPoint(q, offset, value, &index);
}

double ParamChanges::Last(v3_param_id id) const {
  for (int i = 0; i < mCount; ++i)
    if (mQueues[static_cast<size_t>(i)].mID == id && !mQueues[static_cast<size_t>(i)].mPoints.empty())
      return mQueues[static_cast<size_t>(i)].mPoints.back().second;
  return std::numeric_limits<double>::quiet_NaN();
}

Handler::Handler() : mTable(&kHandler) {}
HostApplication::HostApplication() : mTable(&kApp) {}
Proxy::Proxy(v3_connection_point** target) : mTable(&kProxy), mTarget(target) {}
RunLoop::RunLoop() : mTable(&kRunLoop) {}
Frame::Frame() : mTable(&kFrame) {}

void RunLoop::FireTimers() {
  for (v3_timer_handler** t : std::vector<v3_timer_handler**>(mTimers)) v3_cpp_obj(t)->on_timer(t);
}

void RunLoop::FireEvents() {
  for (auto [h, fd] : std::vector<std::pair<v3_event_handler**, int>>(mHandlers)) v3_cpp_obj(h)->on_fd_is_set(h, fd);
}

Module::Module() {
  const std::string path = BinaryPath();
#if defined(_WIN32)
  HMODULE handle = LoadLibraryA(path.c_str());
  if (!handle) {
    mError = "cannot load " + path;
    return;
  }
  auto init = reinterpret_cast<bool (*)()>(reinterpret_cast<void*>(GetProcAddress(handle, "InitDll")));
  auto get = reinterpret_cast<void* (*)()>(reinterpret_cast<void*>(GetProcAddress(handle, "GetPluginFactory")));
  const bool entered = init && init();
#else
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    mError = dlerror();
    return;
  }
  auto entry = reinterpret_cast<bool (*)(void*)>(dlsym(handle, "ModuleEntry"));
  auto get = reinterpret_cast<void* (*)()>(dlsym(handle, "GetPluginFactory"));
  const bool entered = entry && entry(handle);
#endif
  if (!entered || !get) {
    mError = "no module entry or factory in " + path;
    return;
  }
  mFactory = static_cast<v3_plugin_factory**>(get());
  v3_cpp_obj_query_interface(mFactory, v3_plugin_factory_2_iid, &mFactory2);
}

Plugin::Plugin(Module& module, HostApplication* app) {
  v3_plugin_factory* f = v3_cpp_obj(module.mFactory);
  v3_class_info info{};
  for (int i = 0; i < f->num_classes(module.mFactory); ++i) {
    f->get_class_info(module.mFactory, i, &info);
    if (std::strcmp(info.category, "Audio Module Class") == 0) break;
  }
  f->create_instance(module.mFactory, info.class_id, v3_component_iid, reinterpret_cast<void**>(&mComponent));
  if (!mComponent) return;
  v3_cpp_obj_query_interface(mComponent, v3_audio_processor_iid, &mProcessor);
  v3_cpp_obj_initialize(mComponent, app ? app->Get() : nullptr);
  v3_tuid controllerID{};
  C()->get_controller_class_id(mComponent, controllerID);
  f->create_instance(module.mFactory, controllerID, v3_edit_controller_iid, reinterpret_cast<void**>(&mController));
  if (!mController) return;
  v3_cpp_obj_initialize(mController, app ? app->Get() : nullptr);
  v3_cpp_obj_query_interface(mComponent, v3_connection_point_iid, &mComponentPoint);
  v3_cpp_obj_query_interface(mController, v3_connection_point_iid, &mControllerPoint);
  if (app) {
    mToComponent = std::make_unique<Proxy>(mComponentPoint);
    mToController = std::make_unique<Proxy>(mControllerPoint);
  }
  v3_cpp_obj(mComponentPoint)->connect(mComponentPoint, app ? mToController->Get() : mControllerPoint);
  v3_cpp_obj(mControllerPoint)->connect(mControllerPoint, app ? mToComponent->Get() : mComponentPoint);
  E()->set_component_handler(mController, mHandler.Get());
}

Plugin::~Plugin() {
  if (mComponentPoint && mControllerPoint) {
    v3_cpp_obj(mComponentPoint)->disconnect(mComponentPoint, mToController ? mToController->Get() : mControllerPoint);
    v3_cpp_obj(mControllerPoint)->disconnect(mControllerPoint, mToComponent ? mToComponent->Get() : mComponentPoint);
  }
  for (auto** point : {mComponentPoint, mControllerPoint})
    if (point) v3_cpp_obj_unref(point);
  if (mController) {
    E()->set_component_handler(mController, nullptr);
    v3_cpp_obj_terminate(mController);
    v3_cpp_obj_unref(mController);
  }
  if (mProcessor) v3_cpp_obj_unref(mProcessor);
  if (mComponent) {
    C()->set_active(mComponent, false);
    v3_cpp_obj_terminate(mComponent);
    v3_cpp_obj_unref(mComponent);
  }
}

void Plugin::Start(double rate, int maxBlock, int32_t sampleSize) {
  mSampleSize = sampleSize;
  v3_process_setup setup{V3_REALTIME, sampleSize, maxBlock, rate};
  P()->setup_processing(mProcessor, &setup);
  C()->set_active(mComponent, true);
  P()->set_processing(mProcessor, true);
}

v3_param_id Plugin::IDOf(const char* title) {
  for (int i = 0; i < E()->get_parameter_count(mController); ++i) {
    v3_param_info info{};
    E()->get_parameter_info(mController, i, &info);
    if (Text(info.title) == title) return info.param_id;
  }
  return 0xFFFFFFFF;
}

std::vector<uint8_t> Plugin::State() {
  Stream s;
  C()->get_state(mComponent, s.Get());
  return s.mBytes;
}

std::string Text(const int16_t* text) {
  std::string out;
  for (int i = 0; i < 128 && text[i]; ++i) out += static_cast<char>(text[i] < 128 ? text[i] : '?');
  return out;
}

}  // namespace vst3test
