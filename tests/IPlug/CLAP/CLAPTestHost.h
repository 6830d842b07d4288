#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "IPlug/CLAP/CLAPExtensions.h"

// A small CLAP host for the binding's tests: it loads the built Tollenbrook.clap, offers the
// extensions the plug-in asks for (thread check, timer and file-descriptor support, params,
// latency, gui, state) and writes down what the plug-in asks of it. The test's thread is the
// main thread; AudioScope marks the calls made as the audio thread.
namespace claptest {

// The built plug-in (TOLLENBROOK_CLAP_BUNDLE).
std::string BundlePath();

// The loaded module and its factory; loaded once for the test program.
const clap_plugin_factory_t& Factory();

// Marks the current thread as an audio thread while alive.
class AudioScope {
public:
  AudioScope();
  ~AudioScope();
};

// What the plug-in asked of the host.
struct HostLog {
  std::atomic<int> mRestarts{0};
  std::atomic<int> mRestartsOffMain{0};
  std::atomic<int> mCallbacks{0};
  std::atomic<int> mFlushes{0};
  std::vector<uint32_t> mResizes;  // width, height pairs
  std::vector<clap_id> mTimers;
  std::vector<int> mFds;
};

class Host {
public:
  Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;
  const clap_host_t* Get() const { return &mHost; }
  HostLog& Log() { return mLog; }

private:
  static const void* Extension(const clap_host_t* host, const char* id);
  clap_host_t mHost{};
  HostLog mLog;
};

// One parameter value event, at a sample offset.
struct ParamEvent {
  uint32_t time;
  clap_id id;
  double value;
};

// A created and initialised plug-in of the bundle.
class Plugin {
public:
  explicit Plugin(Host& host);
  ~Plugin();
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  const clap_plugin_t* Get() const { return mPlugin; }
  template <typename Ext>
  const Ext* Extension(const char* id) const {
    return static_cast<const Ext*>(mPlugin->get_extension(mPlugin, id));
  }
  // Activates at the rate and block bound and starts processing (as the audio thread).
  bool Activate(double sampleRate, uint32_t maxFrames);
  void Deactivate();

  double Value(clap_id id) const;

  // One block as the audio thread: main in and out with `channels` channels, the key, any
  // events. Samples are floats or doubles, as the buffers given.
  template <typename Sample>
  clap_process_status Process(std::vector<std::vector<Sample>>& in, std::type_identity_t<std::vector<Sample>>* key,
                              std::vector<std::vector<Sample>>& out, uint32_t frames,
                              const std::vector<ParamEvent>& events = {});
  // flush on the main thread (the plug-in not active).
  void Flush(const std::vector<ParamEvent>& events);
  // Heap allocations the plug-in made on this thread in the last process call.
  int64_t LastProcessAllocations() const { return mLastAllocations; }

  // The state through the host's streams, moved `piece` bytes at a time at most.
  bool Save(std::vector<uint8_t>& bytes, size_t piece);
  bool Load(const std::vector<uint8_t>& bytes, size_t piece);

private:
  const clap_plugin_t* mPlugin = nullptr;
  bool mActive = false;
  int64_t mLastAllocations = 0;
};

}  // namespace claptest
