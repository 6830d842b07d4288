#pragma once
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "IPlug/VST3/VST3Interfaces.h"

// A tiny VST3 host for the binding's tests: it loads the built bundle's binary, makes the two
// classes through the factory's C interfaces and offers the few host objects a plug-in asks
// for. Host objects live on the test's stack; their reference counts are not kept.
namespace vst3test {

// The path of the built bundle's binary (TOLLENBROOK_VST3_BINARY) and its folder.
std::string BinaryPath();
std::string BundlePath();

// A byte stream over a vector (IBStream).
struct Stream {
  Stream();
  explicit Stream(std::vector<uint8_t> bytes);
  v3_bstream** Get() { return reinterpret_cast<v3_bstream**>(this); }

  const void* mTable;
  std::vector<uint8_t> mBytes;
  int64_t mPos = 0;
};

// Parameter changes of one block (IParameterChanges with its queues), room reserved up front
// so the plug-in's output writes allocate nothing.
struct ParamChanges {
  struct Queue {
    const void* mTable;
    v3_param_id mID = 0;
    std::vector<std::pair<int32_t, double>> mPoints;
  };
  ParamChanges();
  v3_param_changes** Get() { return reinterpret_cast<v3_param_changes**>(this); }
  void Add(v3_param_id id, int32_t offset, double value);
  // The last value written for id; NaN when none.
  double Last(v3_param_id id) const;
  void Clear() { mCount = 0; }

  const void* mTable;
  std::vector<Queue> mQueues;
  int mCount = 0;
};

// The component handler: every call in order, and the thread of each restart request.
struct Handler {
  Handler();
  v3_component_handler** Get() { return reinterpret_cast<v3_component_handler**>(this); }

  const void* mTable;
  std::vector<std::string> mCalls;
  std::vector<std::thread::id> mRestartThreads;
};

// The frame's run loop (Linux): what the view registered, fired when the test says.
struct RunLoop {
  RunLoop();
  v3_run_loop** Get() { return reinterpret_cast<v3_run_loop**>(this); }
  void FireTimers();
  void FireEvents();

  const void* mTable;
  std::vector<v3_timer_handler**> mTimers;
  std::vector<std::pair<v3_event_handler**, int>> mHandlers;
};

// The plug frame: resize requests, and the run loop for a query.
struct Frame {
  Frame();
  v3_plugin_frame** Get() { return reinterpret_cast<v3_plugin_frame**>(this); }

  const void* mTable;
  RunLoop mRunLoop;
  std::vector<v3_view_rect> mResizes;
};

// The host's side of a connection through a proxy, as some hosts join component and controller:
// messages are relayed to the other side, whose own interfaces the plug-in never sees. The
// host application makes the messages (with attribute lists holding binary values), keeping
// each until the host goes.
struct HostApplication {
  struct Message {
    const void* mTable;
    std::string mID;
    struct Attributes {
      const void* mTable;
      std::vector<std::pair<std::string, std::vector<uint8_t>>> mBinary;
    } mAttributes;
  };
  HostApplication();
  v3_funknown** Get() { return reinterpret_cast<v3_funknown**>(this); }

  const void* mTable;
  std::vector<std::unique_ptr<Message>> mMessages;
};

struct Proxy {
  explicit Proxy(v3_connection_point** target);
  v3_connection_point** Get() { return reinterpret_cast<v3_connection_point**>(this); }

  const void* mTable;
  v3_connection_point** mTarget;
};

// The bundle's binary, loaded with its module entry called; unloading is left to the process.
struct Module {
  Module();
  v3_plugin_factory** mFactory = nullptr;
  v3_plugin_factory_2** mFactory2 = nullptr;
  std::string mError;
};

// One plug-in as a host makes it: component, processor and controller, connected, with the
// test's handler.
struct Plugin {
  // With a host application, component and controller are joined through proxies.
  explicit Plugin(Module& module, HostApplication* app = nullptr);
  ~Plugin();
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  v3_component* C() { return v3_cpp_obj(mComponent); }
  v3_audio_processor* P() { return v3_cpp_obj(mProcessor); }
  v3_edit_controller* E() { return v3_cpp_obj(mController); }
  // Sample rate, the largest block and 32- or 64-bit; then active and processing.
  void Start(double rate, int maxBlock, int32_t sampleSize);
  // One stereo block; the inputs and outputs of every channel, of the setup's sample size.
  template <typename Sample>
  v3_result Process(std::initializer_list<Sample*> ins, std::initializer_list<Sample*> outs, int n,
                    ParamChanges* in = nullptr, ParamChanges* out = nullptr, uint64_t inputSilence = 0);
  // The controller's id of a parameter by title; 0xFFFFFFFF when there is none.
  v3_param_id IDOf(const char* title);
  std::vector<uint8_t> State();

  v3_component** mComponent = nullptr;
  v3_audio_processor** mProcessor = nullptr;
  v3_edit_controller** mController = nullptr;
  v3_connection_point** mComponentPoint = nullptr;
  v3_connection_point** mControllerPoint = nullptr;
  std::unique_ptr<Proxy> mToComponent, mToController;
  Handler mHandler;
  int32_t mSampleSize = V3_SAMPLE_32;
  v3_audio_bus_buffers mBuses[3] = {};
};

template <typename Sample>
v3_result Plugin::Process(std::initializer_list<Sample*> ins, std::initializer_list<Sample*> outs, int n,
                          ParamChanges* in, ParamChanges* out, uint64_t inputSilence) {
  // Fixed arrays: the host's side of a block allocates nothing either.
  Sample* inputs[8] = {};
  Sample* outputs[8] = {};
  std::copy(ins.begin(), ins.end(), inputs);
  std::copy(outs.begin(), outs.end(), outputs);
  v3_process_data data{};
  data.process_mode = V3_REALTIME;
  data.symbolic_sample_size = sizeof(Sample) == 8 ? V3_SAMPLE_64 : V3_SAMPLE_32;
  data.nframes = n;
  v3_audio_bus_buffers& input = mBuses[0];
  v3_audio_bus_buffers& output = mBuses[2];
  input.num_channels = static_cast<int32_t>(ins.size());
  input.channel_silence_bitset = inputSilence;
  output.num_channels = static_cast<int32_t>(outs.size());
  if constexpr (sizeof(Sample) == 8) {
    input.channel_buffers_64 = inputs;
    output.channel_buffers_64 = outputs;
  } else {
    input.channel_buffers_32 = inputs;
    output.channel_buffers_32 = outputs;
  }
  data.num_input_buses = 1;
  data.num_output_buses = 1;
  data.inputs = &input;
  data.outputs = &output;
  data.input_params = in ? in->Get() : nullptr;
  data.output_params = out ? out->Get() : nullptr;
  return P()->process(mProcessor, &data);
}

// The text of a VST3 string.
std::string Text(const int16_t* text);

}  // namespace vst3test
