#include "IPlug/CLAP/CLAPTestHost.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <type_traits>
#include <utility>

#include "support/AllocationCounter.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace claptest {
namespace {

const std::thread::id gMainThread = std::this_thread::get_id();
thread_local bool tAudioThread = false;

HostLog& LogOf(const clap_host_t* host) { return *static_cast<HostLog*>(host->host_data); }
bool OnMain() { return std::this_thread::get_id() == gMainThread; }

const clap_host_thread_check_t kThreadCheck{[](const clap_host_t*) { return OnMain(); },
                                            [](const clap_host_t*) { return tAudioThread; }};

const clap_host_timer_support_t kTimerSupport{[](const clap_host_t* host, uint32_t, clap_id* id) {
                                                *id = static_cast<clap_id>(100 + LogOf(host).mTimers.size());
                                                LogOf(host).mTimers.push_back(*id);
                                                return true;
                                              },
                                              [](const clap_host_t* host, clap_id id) {
                                                auto& timers = LogOf(host).mTimers;
                                                for (auto it = timers.begin(); it != timers.end(); ++it)
                                                  if (*it == id) {
                                                    timers.erase(it);
                                                    return true;
                                                  }
                                                return false;
                                              }};

const clap_host_posix_fd_support_t kFdSupport{[](const clap_host_t* host, int fd, clap_posix_fd_flags_t) {
                                                LogOf(host).mFds.push_back(fd);
                                                return true;
                                              },
                                              [](const clap_host_t*, int, clap_posix_fd_flags_t) { return true; },
                                              [](const clap_host_t* host, int fd) {
                                                auto& fds = LogOf(host).mFds;
                                                for (auto it = fds.begin(); it != fds.end(); ++it)
                                                  if (*it == fd) {
                                                    fds.erase(it);
                                                    return true;
                                                  }
                                                return false;
                                              }};

const clap_host_params_t kParams{[](const clap_host_t*, clap_param_rescan_flags) {},
                                 [](const clap_host_t*, clap_id, clap_param_clear_flags) {},
                                 [](const clap_host_t* host) { ++LogOf(host).mFlushes; }};

const clap_host_latency_t kLatency{[](const clap_host_t*) {}};

const clap_host_gui_t kGui{[](const clap_host_t*) {},
                           [](const clap_host_t* host, uint32_t w, uint32_t h) {
                             LogOf(host).mResizes.push_back(w);
                             LogOf(host).mResizes.push_back(h);
                             return true;
                           },
                           [](const clap_host_t*) { return true; }, [](const clap_host_t*) { return true; },
                           [](const clap_host_t*, bool) {}};

const clap_host_state_t kState{[](const clap_host_t*) {}};

struct Module {
  const clap_plugin_entry_t* mEntry = nullptr;
  const clap_plugin_factory_t* mFactory = nullptr;
};

const Module& TheModule() {
  static const Module module = [] {
    Module m;
    const std::string path = BundlePath();
#ifdef _WIN32
    HMODULE lib = LoadLibraryA(path.c_str());
    void* entry = lib ? reinterpret_cast<void*>(GetProcAddress(lib, "clap_entry")) : nullptr;
#else
    void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* entry = lib ? dlsym(lib, "clap_entry") : nullptr;
#endif
    if (!entry) throw std::runtime_error("cannot load " + path);
    m.mEntry = static_cast<const clap_plugin_entry_t*>(entry);
    if (!m.mEntry->init(path.c_str())) throw std::runtime_error("clap_entry.init failed");
    m.mFactory = static_cast<const clap_plugin_factory_t*>(m.mEntry->get_factory(CLAP_PLUGIN_FACTORY_ID));
    if (!m.mFactory) throw std::runtime_error("no plug-in factory");
    return m;
  }();
  return module;
}

// The host's event lists over vectors.
struct InEvents {
  std::vector<clap_event_param_value_t> mEvents;
  clap_input_events_t mList{this,
                            [](const clap_input_events_t* list) {
                              return static_cast<uint32_t>(static_cast<InEvents*>(list->ctx)->mEvents.size());
                            },
                            [](const clap_input_events_t* list, uint32_t i) -> const clap_event_header_t* {
                              return &static_cast<InEvents*>(list->ctx)->mEvents[i].header;
                            }};
  explicit InEvents(const std::vector<ParamEvent>& events) {
    for (const ParamEvent& e : events) {
      clap_event_param_value_t v{};
      v.header = {sizeof v, e.time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
      v.param_id = e.id;
      v.note_id = -1;
      v.port_index = v.channel = v.key = -1;
      v.value = e.value;
      mEvents.push_back(v);
    }
  }
};

// Events the plug-in sends are dropped: the tests that read them keep a list of their own.
const clap_output_events_t kDropEvents{nullptr,
                                       [](const clap_output_events_t*, const clap_event_header_t*) { return true; }};

}  // namespace

std::string BundlePath() {
  const char* env = std::getenv("TOLLENBROOK_CLAP_BUNDLE");
  std::string path = env ? env : "";
#ifdef _WIN32
  if (!path.empty() && path[0] == '/') path = "Z:" + path;  // the build tree through Wine's drive for the root
#endif
  return path;
}

const clap_plugin_factory_t& Factory() { return *TheModule().mFactory; }

AudioScope::AudioScope() { tAudioThread = true; }
AudioScope::~AudioScope() { tAudioThread = false; }

Host::Host() {
  mHost.clap_version = CLAP_VERSION_INIT;
  mHost.host_data = &mLog;
  mHost.name = "clap test host";
  mHost.vendor = "";
  mHost.url = "";
  mHost.version = "1.0";
  mHost.get_extension = Extension;
  mHost.request_restart = [](const clap_host_t* host) {
    ++LogOf(host).mRestarts;
    if (!OnMain()) ++LogOf(host).mRestartsOffMain;
  };
  mHost.request_process = [](const clap_host_t*) {};
  mHost.request_callback = [](const clap_host_t* host) { ++LogOf(host).mCallbacks; };
}

const void* Host::Extension(const clap_host_t* /*host*/, const char* id) {
  const auto is = [id](const char* name) { return std::strcmp(id, name) == 0; };
  if (is(CLAP_EXT_THREAD_CHECK)) return &kThreadCheck;
  if (is(CLAP_EXT_TIMER_SUPPORT)) return &kTimerSupport;
  if (is(CLAP_EXT_POSIX_FD_SUPPORT)) return &kFdSupport;
  if (is(CLAP_EXT_PARAMS)) return &kParams;
  if (is(CLAP_EXT_LATENCY)) return &kLatency;
  if (is(CLAP_EXT_GUI)) return &kGui;
  if (is(CLAP_EXT_STATE)) return &kState;
  return nullptr;
}

Plugin::Plugin(Host& host) {
  const clap_plugin_descriptor_t* desc = Factory().get_plugin_descriptor(&Factory(), 0);
  mPlugin = desc ? Factory().create_plugin(&Factory(), host.Get(), desc->id) : nullptr;
  if (!mPlugin || !mPlugin->init(mPlugin)) throw std::runtime_error("cannot create the plug-in");
}

Plugin::~Plugin() {
  Deactivate();
  mPlugin->destroy(mPlugin);
}

bool Plugin::Activate(double sampleRate, uint32_t maxFrames) {
  mActive = mPlugin->activate(mPlugin, sampleRate, 1, maxFrames);
  const AudioScope audio;
  return mActive && mPlugin->start_processing(mPlugin);
}

void Plugin::Deactivate() {
  if (!mActive) return;
  {
    const AudioScope audio;
    mPlugin->stop_processing(mPlugin);
  }
  mPlugin->deactivate(mPlugin);
  mActive = false;
}

double Plugin::Value(clap_id id) const {
  double value = -1.0;
  Extension<clap_plugin_params_t>(CLAP_EXT_PARAMS)->get_value(mPlugin, id, &value);
  return value;
}

template <typename Sample>
clap_process_status Plugin::Process(std::vector<std::vector<Sample>>& in,
                                    std::type_identity_t<std::vector<Sample>>* key,
                                    std::vector<std::vector<Sample>>& out, uint32_t frames,
                                    const std::vector<ParamEvent>& events) {
  std::vector<Sample*> inPtrs, outPtrs;
  for (auto& c : in) inPtrs.push_back(c.data());
  for (auto& c : out) outPtrs.push_back(c.data());
  Sample* keyPtr[1] = {key ? key->data() : nullptr};
  clap_audio_buffer_t buffers[3] = {};
  auto set = [](clap_audio_buffer_t& b, Sample** data, size_t n) {
    if constexpr (std::is_same_v<Sample, float>)
      b.data32 = data;
    else
      b.data64 = data;
    b.channel_count = static_cast<uint32_t>(n);
  };
  set(buffers[0], inPtrs.data(), inPtrs.size());
  set(buffers[1], keyPtr, key ? 1 : 0);
  set(buffers[2], outPtrs.data(), outPtrs.size());
  InEvents inEvents(events);
  clap_process_t process{};
  process.steady_time = -1;
  process.frames_count = frames;
  process.audio_inputs = buffers;
  process.audio_inputs_count = key ? 2 : 1;
  process.audio_outputs = &buffers[2];
  process.audio_outputs_count = 1;
  process.in_events = &inEvents.mList;
  process.out_events = &kDropEvents;
  const AudioScope audio;
  const testsupport::AllocationScope allocations;
  const clap_process_status status = mPlugin->process(mPlugin, &process);
  mLastAllocations = allocations.Count();
  return status;
}

template clap_process_status Plugin::Process(std::vector<std::vector<float>>&, std::vector<float>*,
                                             std::vector<std::vector<float>>&, uint32_t,
                                             const std::vector<ParamEvent>&);
template clap_process_status Plugin::Process(std::vector<std::vector<double>>&, std::vector<double>*,
                                             std::vector<std::vector<double>>&, uint32_t,
                                             const std::vector<ParamEvent>&);

void Plugin::Flush(const std::vector<ParamEvent>& events) {
  InEvents inEvents(events);
  Extension<clap_plugin_params_t>(CLAP_EXT_PARAMS)->flush(mPlugin, &inEvents.mList, &kDropEvents);
}

namespace {
struct Stream {
  std::vector<uint8_t>* mBytes;
  size_t mPiece;
  size_t mRead = 0;
};
}  // namespace

bool Plugin::Save(std::vector<uint8_t>& bytes, size_t piece) {
  Stream s{&bytes, piece};
  const clap_ostream_t stream{&s, [](const clap_ostream_t* o, const void* data, uint64_t size) -> int64_t {
                                auto& st = *static_cast<Stream*>(o->ctx);
                                const size_t n = std::min<size_t>(size, st.mPiece);
                                const auto* p = static_cast<const uint8_t*>(data);
                                st.mBytes->insert(st.mBytes->end(), p, p + n);
                                return static_cast<int64_t>(n);
                              }};
  return Extension<clap_plugin_state_t>(CLAP_EXT_STATE)->save(mPlugin, &stream);
}

bool Plugin::Load(const std::vector<uint8_t>& bytes, size_t piece) {
  Stream s{const_cast<std::vector<uint8_t>*>(&bytes), piece};
  const clap_istream_t stream{
      &s, [](const clap_istream_t* i, void* data, uint64_t size) -> int64_t {
        auto& st = *static_cast<Stream*>(i->ctx);
        const size_t n = std::min({static_cast<size_t>(size), st.mPiece, st.mBytes->size() - st.mRead});
        if (n > 0) std::memcpy(data, st.mBytes->data() + st.mRead, n);
        st.mRead += n;
        return static_cast<int64_t>(n);
      }};
  return Extension<clap_plugin_state_t>(CLAP_EXT_STATE)->load(mPlugin, &stream);
}

}  // namespace claptest
