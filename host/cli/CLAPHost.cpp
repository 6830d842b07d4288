#include "host/cli/CLAPHost.h"

#include <cstring>

#include "clap/ext/audio-ports.h"
#include "clap/ext/gui.h"
#include "clap/ext/latency.h"
#include "clap/ext/params.h"
#include "clap/ext/state.h"
#include "clap/ext/thread-check.h"
#include "clap/ext/timer-support.h"
#include "IPlug/CLAP/CLAPExtensions.h"

namespace tbhost {
namespace {

constexpr const char* kCallNames[] = {
    "clap.latency changed",          "clap.params rescan",           "clap.params clear",
    "clap.state mark_dirty",         "clap.timer-support register_timer", "clap.timer-support unregister_timer",
    "clap.posix-fd-support register_fd", "clap.posix-fd-support modify_fd", "clap.posix-fd-support unregister_fd",
    "clap.gui resize_hints_changed", "clap.gui closed",              "clap.audio-ports rescan",
    "clap.audio-ports-config rescan",
};
static_assert(std::size(kCallNames) == static_cast<size_t>(CLAPHostCall::kCount));

const clap_host_thread_check_t kThreadCheck = {
    [](const clap_host_t* h) { return static_cast<const CLAPHost*>(h->host_data)->OnMainThread(); },
    [](const clap_host_t* h) { return static_cast<const CLAPHost*>(h->host_data)->OnAudioThread(); },
};

}  // namespace

// The extension tables: each entry forwards to the host object in host_data.
struct CLAPHostTables {
  static CLAPHost& H(const clap_host_t* h) { return *static_cast<CLAPHost*>(h->host_data); }

  static constexpr clap_host_latency_t kLatency = {[](const clap_host_t* h) {
    if (H(h).MainThreadCall(CLAPHostCall::kLatencyChanged)) H(h).mLatencyChanged = true;
  }};
  static constexpr clap_host_params_t kParams = {
      [](const clap_host_t* h, clap_param_rescan_flags flags) {
        if (H(h).MainThreadCall(CLAPHostCall::kParamsRescan)) H(h).mRescan |= flags | 0x80000000u;
      },
      [](const clap_host_t* h, clap_id, clap_param_clear_flags) { H(h).MainThreadCall(CLAPHostCall::kParamsClear); },
      [](const clap_host_t* h) { H(h).mFlush = true; },  // [thread-safe]
  };
  static constexpr clap_host_state_t kState = {[](const clap_host_t* h) {
    if (H(h).MainThreadCall(CLAPHostCall::kStateMarkDirty)) H(h).mDirty = true;
  }};
  static constexpr clap_host_gui_t kGui = {
      [](const clap_host_t* h) { H(h).MainThreadCall(CLAPHostCall::kGuiResizeHintsChanged); },
      // [thread-safe]: the window is resized on the main thread only; a request from elsewhere
      // is refused rather than carried out on the wrong thread.
      [](const clap_host_t* h, uint32_t width, uint32_t height) {
        CLAPHost& host = H(h);
        host.mResizeRequests.fetch_add(1, std::memory_order_acq_rel);
        return host.OnMainThread() && host.mResize && host.mResize(width, height);
      },
      [](const clap_host_t*) { return false; },  // the host shows its window itself
      [](const clap_host_t*) { return false; },
      [](const clap_host_t* h, bool) { H(h).MainThreadCall(CLAPHostCall::kGuiClosed); },
  };
  static constexpr clap_host_timer_support_t kTimers = {
      [](const clap_host_t* h, uint32_t periodMs, clap_id* id) {
        if (!id || !H(h).MainThreadCall(CLAPHostCall::kRegisterTimer)) return false;
        *id = H(h).mRunLoop.AddTimer(periodMs);
        return true;
      },
      [](const clap_host_t* h, clap_id id) {
        return H(h).MainThreadCall(CLAPHostCall::kUnregisterTimer) && H(h).mRunLoop.RemoveTimer(id);
      },
  };
  static constexpr clap_host_posix_fd_support_t kFds = {
      [](const clap_host_t* h, int fd, clap_posix_fd_flags_t flags) {
        return H(h).MainThreadCall(CLAPHostCall::kRegisterFd) && H(h).mRunLoop.AddFd(fd, flags);
      },
      [](const clap_host_t* h, int fd, clap_posix_fd_flags_t flags) {
        return H(h).MainThreadCall(CLAPHostCall::kModifyFd) && H(h).mRunLoop.ModifyFd(fd, flags);
      },
      [](const clap_host_t* h, int fd) {
        return H(h).MainThreadCall(CLAPHostCall::kUnregisterFd) && H(h).mRunLoop.RemoveFd(fd);
      },
  };
  static constexpr clap_host_audio_ports_t kAudioPorts = {
      [](const clap_host_t*, uint32_t) { return true; },
      [](const clap_host_t* h, uint32_t) { H(h).MainThreadCall(CLAPHostCall::kAudioPortsRescan); },
  };
  static constexpr clap_host_audio_ports_config_t kAudioPortsConfig = {
      [](const clap_host_t* h) { H(h).MainThreadCall(CLAPHostCall::kAudioPortsConfigRescan); }};
  static constexpr clap_host_log_t kLog = {
      [](const clap_host_t* h, clap_log_severity severity, const char* message) { H(h).Log(severity, message); }};
};

CLAPHost::CLAPHost() : mMain(std::this_thread::get_id()) {
  mHost.clap_version = CLAP_VERSION;
  mHost.host_data = this;
  mHost.name = "tollenbrook-host";
  mHost.vendor = "Tollenbrook";
  mHost.url = "";
  mHost.version = "1.0";
  mHost.get_extension = &Extension;
  mHost.request_restart = [](const clap_host_t* h) { Of(h).mRestart = true; };
  mHost.request_process = [](const clap_host_t* h) { Of(h).mProcess = true; };
  mHost.request_callback = [](const clap_host_t* h) { Of(h).mCallback = true; };
  mRunLoop.SetHandlers(
      [this](uint32_t id) {
        const auto* timers = mPlugin ? static_cast<const clap_plugin_timer_support_t*>(
                                           mPlugin->get_extension(mPlugin, CLAP_EXT_TIMER_SUPPORT))
                                     : nullptr;
        if (timers && timers->on_timer) timers->on_timer(mPlugin, id);
      },
      [this](int fd, uint32_t flags) {
        const auto* fds = mPlugin ? static_cast<const clap_plugin_posix_fd_support_t*>(
                                        mPlugin->get_extension(mPlugin, CLAP_EXT_POSIX_FD_SUPPORT))
                                  : nullptr;
        if (fds && fds->on_fd) fds->on_fd(mPlugin, fd, flags);
      });
}

void CLAPHost::Attach(const clap_plugin_t* plugin) { mPlugin = plugin; }

const void* CLAPHost::Extension(const clap_host_t* /*host*/, const char* id) {
  // [thread-safe]
  if (!id) return nullptr;
  const auto is = [id](const char* name) { return std::strcmp(id, name) == 0; };
  if (is(CLAP_EXT_THREAD_CHECK)) return &kThreadCheck;
  if (is(CLAP_EXT_LATENCY)) return &CLAPHostTables::kLatency;
  if (is(CLAP_EXT_PARAMS)) return &CLAPHostTables::kParams;
  if (is(CLAP_EXT_STATE)) return &CLAPHostTables::kState;
  if (is(CLAP_EXT_GUI)) return &CLAPHostTables::kGui;
  if (is(CLAP_EXT_TIMER_SUPPORT)) return &CLAPHostTables::kTimers;
  if (is(CLAP_EXT_POSIX_FD_SUPPORT)) return CLAPRunLoop::FdsSupported() ? &CLAPHostTables::kFds : nullptr;
  if (is(CLAP_EXT_AUDIO_PORTS)) return &CLAPHostTables::kAudioPorts;
  if (is(CLAP_EXT_AUDIO_PORTS_CONFIG)) return &CLAPHostTables::kAudioPortsConfig;
  if (is(CLAP_EXT_LOG)) return &CLAPHostTables::kLog;
  return nullptr;
}

bool CLAPHost::OnMainThread() const {
  const std::thread::id self = std::this_thread::get_id();
  return self == mMain.load(std::memory_order_acquire) && self != mAudio.load(std::memory_order_acquire);
}

bool CLAPHost::OnAudioThread() const { return std::this_thread::get_id() == mAudio.load(std::memory_order_acquire); }

bool CLAPHost::MainThreadCall(CLAPHostCall call) {
  if (OnMainThread()) return true;
  mWrongThread[static_cast<size_t>(call)].fetch_add(1, std::memory_order_acq_rel);
  return false;
}

const char* CLAPHost::CallName(CLAPHostCall call) { return kCallNames[static_cast<size_t>(call)]; }

std::string CLAPHost::WrongThreadText(CLAPHostCall call, int64_t times) {
  return std::string(CallName(call)) + " from a thread other than the main thread, " + std::to_string(times) +
         (times == 1 ? " time" : " times");
}

std::vector<std::string> CLAPHost::WrongThreadCalls() const {
  std::vector<std::string> calls;
  for (size_t k = 0; k < mWrongThread.size(); ++k)
    if (const int64_t n = mWrongThread[k].load(std::memory_order_acquire); n > 0)
      calls.push_back(WrongThreadText(static_cast<CLAPHostCall>(k), n));
  return calls;
}

int64_t CLAPHost::WrongThreadCount() const {
  int64_t n = 0;
  for (const auto& count : mWrongThread) n += count.load(std::memory_order_acquire);
  return n;
}

void CLAPHost::Log(int32_t severity, const char* message) {
  // [thread-safe]: the audio thread only counts.
  if (severity < CLAP_LOG_WARNING || severity == CLAP_LOG_DEBUG) return;
  if (OnAudioThread()) {
    mAudioThreadLogs.fetch_add(1, std::memory_order_acq_rel);
    return;
  }
  static constexpr const char* kSeverity[] = {"debug", "info", "warning", "error", "fatal", "host misbehaving",
                                              "plug-in misbehaving"};
  const char* level = severity >= 0 && severity <= CLAP_LOG_PLUGIN_MISBEHAVING ? kSeverity[severity] : "unknown";
  std::lock_guard lock(mLogMutex);
  mLogged.push_back(std::string(level) + ": " + (message ? message : ""));
}

std::vector<std::string> CLAPHost::LoggedProblems() const {
  std::lock_guard lock(mLogMutex);
  std::vector<std::string> lines = mLogged;
  if (const int64_t n = mAudioThreadLogs.load(std::memory_order_acquire); n > 0)
    lines.push_back(std::to_string(n) + " lines logged from the audio thread");
  return lines;
}

}  // namespace tbhost
