#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "clap/host.h"
#include "clap/plugin.h"
#include "host/cli/CLAPRunLoop.h"

namespace tbhost {

// What a CLAP plug-in may call on the host, by the thread the interface assigns each call.
enum class CLAPHostCall {
  kLatencyChanged,         // [main-thread]
  kParamsRescan,           // [main-thread]
  kParamsClear,            // [main-thread]
  kStateMarkDirty,         // [main-thread]
  kRegisterTimer,          // [main-thread]
  kUnregisterTimer,        // [main-thread]
  kRegisterFd,             // [main-thread]
  kModifyFd,               // [main-thread]
  kUnregisterFd,           // [main-thread]
  kGuiResizeHintsChanged,  // [main-thread]
  kGuiClosed,              // [main-thread]
  kAudioPortsRescan,       // [main-thread]
  kAudioPortsConfigRescan, // [main-thread]
  kCount
};

// The host object one CLAP plug-in instance is given, with the extensions this host offers:
// thread-check, latency, params, state, gui, timer-support, posix-fd-support (not on Windows),
// audio-ports, audio-ports-config and log.
//
// Threads: this host drives an instance from one thread at a time. The thread that makes a
// host call on the instance (the creator, a render thread, a validator's host thread) is the
// instance's main thread for that call; while the host is inside process (or a flush of an
// active plug-in) the calling thread is its audio thread and not its main thread. A
// [main-thread] call the plug-in makes from anywhere else is refused and counted, without a
// lock or an allocation, so it can be reported; thread-safe calls only set flags the host reads
// on its main thread.
class CLAPHost {
public:
  CLAPHost();
  CLAPHost(const CLAPHost&) = delete;
  CLAPHost& operator=(const CLAPHost&) = delete;

  const clap_host_t* Get() const { return &mHost; }
  // Main thread. The plug-in the run loop's timers and descriptors call back (null: none).
  void Attach(const clap_plugin_t* plugin);

  // Any thread. The calling thread acts as the instance's main thread from now on.
  void TakeMainThread() { mMain.store(std::this_thread::get_id(), std::memory_order_release); }
  // The calling thread is the instance's audio thread while this lives.
  class AudioThreadScope {
  public:
    explicit AudioThreadScope(CLAPHost& host) : mHost(host) {
      mHost.mAudio.store(std::this_thread::get_id(), std::memory_order_release);
    }
    ~AudioThreadScope() { mHost.mAudio.store(std::thread::id(), std::memory_order_release); }
    AudioThreadScope(const AudioThreadScope&) = delete;
    AudioThreadScope& operator=(const AudioThreadScope&) = delete;

  private:
    CLAPHost& mHost;
  };
  bool OnMainThread() const;
  bool OnAudioThread() const;

  // Main thread. Requests of the plug-in since last asked (each is cleared by asking).
  bool TakeRestartRequest() { return mRestart.exchange(false, std::memory_order_acq_rel); }
  bool TakeProcessRequest() { return mProcess.exchange(false, std::memory_order_acq_rel); }
  bool TakeCallbackRequest() { return mCallback.exchange(false, std::memory_order_acq_rel); }
  bool TakeFlushRequest() { return mFlush.exchange(false, std::memory_order_acq_rel); }
  bool TakeLatencyChanged() { return mLatencyChanged.exchange(false, std::memory_order_acq_rel); }
  bool TakeParamsRescan() { return mRescan.exchange(0, std::memory_order_acq_rel) != 0; }
  bool TakeDirty() { return mDirty.exchange(false, std::memory_order_acq_rel); }

  // Main thread. Calls of the plug-in made from a thread the interface does not allow, one text
  // per kind of call ("clap.params rescan from a thread other than the main thread, 3 times").
  std::vector<std::string> WrongThreadCalls() const;
  int64_t WrongThreadCount() const;
  int64_t WrongThreadCount(CLAPHostCall call) const {
    return mWrongThread[static_cast<size_t>(call)].load(std::memory_order_acquire);
  }
  // "clap.params rescan" and so on.
  static const char* CallName(CLAPHostCall call);
  // "clap.params rescan from a thread other than the main thread, 3 times"
  static std::string WrongThreadText(CLAPHostCall call, int64_t times);
  // Main thread. What the plug-in logged at warning or worse (the lines it logged from the
  // audio thread are counted only).
  std::vector<std::string> LoggedProblems() const;

  // Main thread. The editor's requests: the handler gets each new size the plug-in asks for
  // and answers whether the window took it; without one every request is refused.
  void SetResizeHandler(std::function<bool(uint32_t, uint32_t)> handler) { mResize = std::move(handler); }
  int ResizeRequests() const { return mResizeRequests.load(std::memory_order_acquire); }

  CLAPRunLoop& RunLoop() { return mRunLoop; }

private:
  friend struct CLAPHostTables;
  static CLAPHost& Of(const clap_host_t* host) { return *static_cast<CLAPHost*>(host->host_data); }
  static const void* Extension(const clap_host_t* host, const char* id);
  // Counts a [main-thread] call from elsewhere; true when the call is allowed.
  bool MainThreadCall(CLAPHostCall call);
  void Log(int32_t severity, const char* message);

  clap_host_t mHost{};
  const clap_plugin_t* mPlugin = nullptr;
  std::atomic<std::thread::id> mMain;
  std::atomic<std::thread::id> mAudio;
  std::atomic<bool> mRestart{false}, mProcess{false}, mCallback{false}, mFlush{false};
  std::atomic<bool> mLatencyChanged{false}, mDirty{false};
  std::atomic<uint32_t> mRescan{0};
  std::array<std::atomic<int64_t>, static_cast<size_t>(CLAPHostCall::kCount)> mWrongThread{};
  std::atomic<int64_t> mAudioThreadLogs{0};
  mutable std::mutex mLogMutex;  // never taken on the audio thread
  std::vector<std::string> mLogged;
  std::function<bool(uint32_t, uint32_t)> mResize;
  std::atomic<int> mResizeRequests{0};
  CLAPRunLoop mRunLoop;
};

}  // namespace tbhost
