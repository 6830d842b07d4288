#include "host/cli/VST3PluginInstance.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/cli/VST3Stream.h"
#include "host/cli/VST3Text.h"

namespace tbhost {

namespace {
constexpr double kFirstSampleRate = 48000.0;
constexpr int kFirstChannels = 2;
// The longest piece the processor is set up for; longer host blocks are split.
constexpr int kMaxPiece = 8192;
// Lists longer than this are described by their range only.
constexpr int32_t kMaxListedSteps = 1000;
constexpr const char* kStateFormat = "VST3";

v3_speaker_arrangement Arrangement(int channels) {
  return channels == 1 ? static_cast<v3_speaker_arrangement>(V3_SPEAKER_M)
                       : static_cast<v3_speaker_arrangement>(V3_SPEAKER_L | V3_SPEAKER_R);
}

int ChannelsOf(v3_speaker_arrangement arrangement) {
  int n = 0;
  for (; arrangement; arrangement &= arrangement - 1) ++n;
  return n;
}
}  // namespace

// What the controller says of the plug-in's parameters, read once per bundle.
struct VST3PluginInstance::Table {
  std::vector<ParamInfo> params;
  std::vector<v3_param_id> ids;  // of params, in their order
  std::vector<v3_param_id> meterIds;
  std::vector<std::string> meterNames;
  int64_t bypassId = -1;
};

namespace {
std::shared_ptr<VST3PluginInstance::Table> ReadTable(const VST3Ref<v3_edit_controller>& c) {
  auto table = std::make_shared<VST3PluginInstance::Table>();
  const int32_t count = c->get_parameter_count(c.Get());
  for (int32_t i = 0; i < count; ++i) {
    v3_param_info info{};
    if (c->get_parameter_info(c.Get(), i, &info) != V3_OK) continue;
    const std::string title = Utf8FromVST3(info.title, 128);
    if (info.flags & V3_PARAM_IS_BYPASS) {
      table->bypassId = info.param_id;
      continue;
    }
    if (info.flags & V3_PARAM_READ_ONLY) {
      table->meterIds.push_back(info.param_id);
      table->meterNames.push_back(title);
      continue;
    }
    const v3_param_id id = info.param_id;
    const auto plain = [&](double normalized) { return c->normalised_parameter_to_plain(c.Get(), id, normalized); };
    ParamInfo p;
    p.index = static_cast<int>(table->params.size());
    p.name = title;
    p.settable = true;
    p.min = plain(0.0);
    p.max = plain(1.0);
    p.defaultValue = plain(info.default_normalised_value);
    p.step = info.step_count > 0 ? (p.max - p.min) / info.step_count : 0.0;
    if (info.step_count > 0 && info.step_count <= kMaxListedSteps) {
      for (int32_t s = 0; s <= info.step_count; ++s) {
        const double normalized = static_cast<double>(s) / info.step_count;
        v3_str_128 text{};
        if (c->get_parameter_string_for_value(c.Get(), id, normalized, text) != V3_OK) continue;
        p.displayTexts.emplace_back(plain(normalized), Utf8FromVST3(text, 128));
      }
      std::sort(p.displayTexts.begin(), p.displayTexts.end());
    }
    table->params.push_back(std::move(p));
    table->ids.push_back(id);
  }
  return table;
}
}  // namespace

std::unique_ptr<VST3PluginInstance> VST3PluginInstance::Create(const std::string& path, std::string& error) {
  std::shared_ptr<VST3Module> module = VST3Module::Open(path, error);
  if (!module) return nullptr;
  std::unique_ptr<VST3PluginInstance> plugin(new VST3PluginInstance(module, nullptr));
  if (!plugin->Make(error)) return nullptr;
  return plugin;
}

VST3PluginInstance::VST3PluginInstance(std::shared_ptr<VST3Module> module, std::shared_ptr<const Table> table)
    : mModule(std::move(module)), mTable(std::move(table)) {
  mHandler.edits = &mEdits;
  mHandler.audioThread = &mAudioThread;
}

std::unique_ptr<PluginInstance> VST3PluginInstance::NewInstance(std::string& error) const {
  std::unique_ptr<VST3PluginInstance> plugin(new VST3PluginInstance(mModule, mTable));
  plugin->mDouble = mDouble;
  if (!plugin->Make(error)) return nullptr;
  return plugin;
}

// The objects, their connection and a first set-up, as a host makes them for an insert.
bool VST3PluginInstance::Make(std::string& error) {
  const std::string& path = mModule->Path();
  mComponent = VST3Ref<v3_component>(
      static_cast<v3_component**>(mModule->CreateInstance(mModule->EffectClass(), v3_component_iid)));
  if (!mComponent) {
    error = path + " made no component of its audio effect";
    return false;
  }
  if (v3_cpp_obj_initialize(mComponent.Get(), mModule->Host().Interface()) != V3_OK) {
    error = path + ": the component refused to initialise";
    return false;
  }
  mComponentInitialised = true;
  mProcessor = mComponent.Query<v3_audio_processor>(v3_audio_processor_iid);
  if (!mProcessor) {
    error = path + ": the component has no audio processor";
    return false;
  }
  if (!Connect(error)) return false;
  if (!mTable) mTable = ReadTable(mController);
  const int queues = static_cast<int>(mTable->ids.size() + mTable->meterIds.size()) + 1;
  mInputChanges = std::make_unique<VST3ParameterChanges>(queues);
  mOutputChanges = std::make_unique<VST3ParameterChanges>(queues);
  // Not a number until the processor reports a reading: nothing is passed on before.
  mMeterValues = std::make_unique<std::atomic<double>[]>(mTable->meterIds.size() + 1);
  for (size_t m = 0; m <= mTable->meterIds.size(); ++m) mMeterValues[m].store(std::nan(""));
  return Setup(kFirstSampleRate, kFirstChannels, false, error);
}

// The controller: its own object when the component names a class for it (initialised, joined
// through the connection points, told the component's state), else the component itself.
bool VST3PluginInstance::Connect(std::string& error) {
  const std::string& path = mModule->Path();
  v3_tuid controllerClass = {};
  const bool named = mComponent->get_controller_class_id(mComponent.Get(), controllerClass) == V3_OK &&
                     std::any_of(std::begin(controllerClass), std::end(controllerClass), [](uint8_t b) { return b != 0; });
  if (named) {
    mController = VST3Ref<v3_edit_controller>(
        static_cast<v3_edit_controller**>(mModule->CreateInstance(controllerClass, v3_edit_controller_iid)));
  }
  if (!mController) {
    mController = mComponent.Query<v3_edit_controller>(v3_edit_controller_iid);
    if (!mController) {
      error = path + ": its effect has no edit controller";
      return false;
    }
  } else {
    mSeparateController = true;
    if (v3_cpp_obj_initialize(mController.Get(), mModule->Host().Interface()) != V3_OK) {
      error = path + ": the edit controller refused to initialise";
      return false;
    }
    mControllerInitialised = true;
    mComponentPoint = mComponent.Query<v3_connection_point>(v3_connection_point_iid);
    mControllerPoint = mController.Query<v3_connection_point>(v3_connection_point_iid);
    if (mComponentPoint && mControllerPoint) {
      mComponentPoint->connect(mComponentPoint.Get(), mControllerPoint.Get());
      mControllerPoint->connect(mControllerPoint.Get(), mComponentPoint.Get());
    }
    VST3Stream state;
    if (mComponent->get_state(mComponent.Get(), state.Interface()) == V3_OK) {
      state.position = 0;
      mController->set_component_state(mController.Get(), state.Interface());
    }
  }
  mController->set_component_handler(mController.Get(), mHandler.Interface());
  return true;
}

VST3PluginInstance::~VST3PluginInstance() {
  Deactivate();
  if (mComponentPoint && mControllerPoint) {
    mComponentPoint->disconnect(mComponentPoint.Get(), mControllerPoint.Get());
    mControllerPoint->disconnect(mControllerPoint.Get(), mComponentPoint.Get());
  }
  mComponentPoint.Reset();
  mControllerPoint.Reset();
  if (mController) mController->set_component_handler(mController.Get(), nullptr);
  if (mControllerInitialised) v3_cpp_obj_terminate(mController.Get());
  mController.Reset();
  mProcessor.Reset();
  if (mComponentInitialised) v3_cpp_obj_terminate(mComponent.Get());
  mComponent.Reset();
}

const std::vector<ParamInfo>& VST3PluginInstance::Parameters() const { return mTable->params; }

int64_t VST3PluginInstance::ParamID(int index) const {
  return index >= 0 && static_cast<size_t>(index) < mTable->ids.size() ? mTable->ids[static_cast<size_t>(index)] : -1;
}

int64_t VST3PluginInstance::BypassID() const { return mTable->bypassId; }

void VST3PluginInstance::Deactivate() {
  if (!mActive) return;
  mProcessor->set_processing(mProcessor.Get(), 0);
  mComponent->set_active(mComponent.Get(), 0);
  mActive = false;
}

bool VST3PluginInstance::UseDoublePrecision(bool on, std::string& error) {
  if (on && mProcessor->can_process_sample_size(mProcessor.Get(), V3_SAMPLE_64) != V3_OK) {
    error = mModule->Path() + " takes 32-bit samples only";
    return false;
  }
  if (on == mDouble) return true;
  mDouble = on;
  // The processor is set up again for the new sample size, with the insert it has.
  return Setup(mSampleRate, mChannels, mHasKey, error);
}

bool VST3PluginInstance::Initialise(double sampleRate, int mainChannels, bool sideChain, std::string& error) {
  if (!CheckInsert(sampleRate, mainChannels, error)) return false;
  const double oldRate = mSampleRate;
  const int oldChannels = mChannels;
  const bool oldKey = mHasKey;
  if (Setup(sampleRate, mainChannels, sideChain, error)) return true;
  std::string unused;
  Setup(oldRate, oldChannels, oldKey, unused);
  return false;
}

// Buses, processing set-up, activation; the pending changes stay pending.
bool VST3PluginInstance::Setup(double sampleRate, int channels, bool sideChain, std::string& error) {
  Deactivate();
  const std::string& path = mModule->Path();
  mInputBuses = std::max(1, mComponent->get_bus_count(mComponent.Get(), V3_AUDIO, V3_INPUT));
  std::vector<v3_speaker_arrangement> ins(static_cast<size_t>(mInputBuses), Arrangement(channels));
  for (int bus = 1; bus < mInputBuses; ++bus)
    mProcessor->get_bus_arrangement(mProcessor.Get(), V3_INPUT, bus, &ins[static_cast<size_t>(bus)]);
  v3_speaker_arrangement out = Arrangement(channels);
  if (mProcessor->set_bus_arrangements(mProcessor.Get(), ins.data(), mInputBuses, &out, 1) != V3_OK) {
    error = path + " refuses a " + (channels == 1 ? "mono" : "stereo") + " insert";
    return false;
  }
  mKeyChannels = mInputBuses > 1 ? ChannelsOf(ins[1]) : 0;
  if (mInputBuses > 1) {
    v3_speaker_arrangement key = 0;
    if (mProcessor->get_bus_arrangement(mProcessor.Get(), V3_INPUT, 1, &key) == V3_OK) mKeyChannels = ChannelsOf(key);
  }
  mComponent->activate_bus(mComponent.Get(), V3_AUDIO, V3_INPUT, 0, 1);
  mComponent->activate_bus(mComponent.Get(), V3_AUDIO, V3_OUTPUT, 0, 1);
  const bool key = sideChain && mKeyChannels > 0;
  if (mInputBuses > 1) mComponent->activate_bus(mComponent.Get(), V3_AUDIO, V3_INPUT, 1, key ? 1 : 0);
  v3_process_setup setup{V3_REALTIME, mDouble ? V3_SAMPLE_64 : V3_SAMPLE_32, kMaxPiece, sampleRate};
  if (mProcessor->setup_processing(mProcessor.Get(), &setup) != V3_OK) {
    error = path + " refuses to process at " + std::to_string(sampleRate) + " Hz";
    return false;
  }
  if (mComponent->set_active(mComponent.Get(), 1) != V3_OK) {
    error = path + " refuses to be activated";
    return false;
  }
  mProcessor->set_processing(mProcessor.Get(), 1);
  mActive = true;
  mSampleRate = sampleRate;
  mChannels = channels;
  mHasKey = key;
  mPosition = 0;
  AllocateBuffers();
  return true;
}

void VST3PluginInstance::AllocateBuffers() {
  const auto frames = static_cast<size_t>(kMaxPiece);
  mSilence.assign(frames, 0.0f);
  mDoubles.clear();
  // Inputs, outputs, then the key (and silence for an unfed one), when samples are 64-bit.
  if (mDouble) mDoubles.assign(static_cast<size_t>(2 * mChannels + 2), std::vector<double>(frames, 0.0));
}

void VST3PluginInstance::SetNormalized(v3_param_id id, double normalized) {
  normalized = std::clamp(normalized, 0.0, 1.0);
  mController->set_parameter_normalised(mController.Get(), id, normalized);
  if (!mEdits.Push(VST3Edit{id, normalized})) {
    Flush();
    mEdits.Push(VST3Edit{id, normalized});
  }
}

void VST3PluginInstance::SetParameter(int index, double value) {
  const int64_t id = ParamID(index);
  if (id < 0 || !std::isfinite(value)) return;
  const auto pid = static_cast<v3_param_id>(id);
  SetNormalized(pid, mController->plain_parameter_to_normalised(mController.Get(), pid, value));
}

void VST3PluginInstance::Flush() {
  if (mEdits.Count() > 0 && mActive) ProcessBlock(nullptr, nullptr, nullptr, 0);
}

void VST3PluginInstance::ProcessBlock(const float* const* mainInputs, const float* sideChain, float* const* outputs,
                                      int nFrames) {
  if (!mActive) return;
  mAudioThread.store(std::this_thread::get_id(), std::memory_order_release);
  mInputChanges->Clear();
  for (VST3Edit edit; mEdits.Pop(edit);) mInputChanges->Add(edit.id, 0, edit.value);
  int done = 0;
  do {
    const int n = std::min(nFrames - done, kMaxPiece);
    ProcessPiece(mainInputs, sideChain, outputs, done, n);
    mInputChanges->Clear();
    done += n;
  } while (done < nFrames);
  mAudioThread.store(std::thread::id(), std::memory_order_release);
}

void VST3PluginInstance::ProcessPiece(const float* const* mainInputs, const float* sideChain, float* const* outputs,
                                      int offset, int nFrames) {
  const auto n = static_cast<size_t>(nFrames);
  const bool feedKey = mHasKey && sideChain && nFrames > 0;
  float* in32[2] = {}, *out32[2] = {}, *key32[2] = {};
  double* in64[2] = {}, *out64[2] = {}, *key64[2] = {};
  for (int c = 0; c < mChannels; ++c) {
    const auto k = static_cast<size_t>(c);
    // The processor only reads its inputs; the interface has no const.
    in32[c] = nFrames > 0 ? const_cast<float*>(mainInputs[c] + offset) : mSilence.data();
    out32[c] = nFrames > 0 ? outputs[c] + offset : mSilence.data();
    if (!mDouble) continue;
    in64[c] = mDoubles[k].data();
    out64[c] = mDoubles[static_cast<size_t>(mChannels) + k].data();
    for (size_t i = 0; i < n; ++i) in64[c][i] = in32[c][i];
  }
  for (int c = 0; c < std::min(mKeyChannels, 2); ++c) {
    key32[c] = feedKey ? const_cast<float*>(sideChain + offset) : mSilence.data();
    if (!mDouble) continue;
    key64[c] = mDoubles[static_cast<size_t>(2 * mChannels) + (feedKey ? 0 : 1)].data();
    if (feedKey && c == 0)
      for (size_t i = 0; i < n; ++i) key64[0][i] = key32[0][i];
  }
  v3_audio_bus_buffers buses[3] = {};
  buses[0].num_channels = mChannels;
  buses[1].num_channels = std::min(mKeyChannels, 2);
  buses[2].num_channels = mChannels;
  if (mDouble) {
    buses[0].channel_buffers_64 = in64;
    buses[1].channel_buffers_64 = key64;
    buses[2].channel_buffers_64 = out64;
  } else {
    buses[0].channel_buffers_32 = in32;
    buses[1].channel_buffers_32 = key32;
    buses[2].channel_buffers_32 = out32;
  }
  v3_process_context context{};
  context.state = V3_PROCESS_CTX_PLAYING | V3_PROCESS_CTX_CONT_TIME_VALID | V3_PROCESS_CTX_PROJECT_TIME_VALID;
  context.sample_rate = mSampleRate;
  context.project_time_in_samples = mPosition;
  context.continuous_time_in_samples = mPosition;
  mOutputChanges->Clear();
  v3_process_data data{};
  data.process_mode = V3_REALTIME;
  data.symbolic_sample_size = mDouble ? V3_SAMPLE_64 : V3_SAMPLE_32;
  data.nframes = nFrames;
  data.num_input_buses = std::min(mInputBuses, 2);
  data.num_output_buses = 1;
  data.inputs = buses;
  data.outputs = &buses[2];
  data.input_params = mInputChanges->Interface();
  data.output_params = mOutputChanges->Interface();
  data.ctx = &context;
  mProcessor->process(mProcessor.Get(), &data);
  if (mDouble && nFrames > 0)
    for (int c = 0; c < mChannels; ++c)
      for (size_t i = 0; i < n; ++i) out32[c][i] = static_cast<float>(out64[c][i]);
  mPosition += nFrames;
  ReadMeters();
}

// Audio thread. The last point of each meter's queue is its reading of the block.
void VST3PluginInstance::ReadMeters() {
  for (int q = 0; q < mOutputChanges->Count(); ++q) {
    const VST3ParameterChanges::Queue& queue = mOutputChanges->At(q);
    if (queue.count == 0) continue;
    for (size_t m = 0; m < mTable->meterIds.size(); ++m)
      if (mTable->meterIds[m] == queue.id) mMeterValues[m].store(queue.values[queue.count - 1], std::memory_order_relaxed);
  }
}

int VST3PluginInstance::Latency() const {
  return static_cast<int>(mProcessor->get_latency_samples(mProcessor.Get()));
}

int VST3PluginInstance::MeterCount() const { return static_cast<int>(mTable->meterIds.size()); }

std::string VST3PluginInstance::MeterName(int meter) const {
  return meter >= 0 && meter < MeterCount() ? mTable->meterNames[static_cast<size_t>(meter)] : std::string();
}

double VST3PluginInstance::MeterValue(int meter) const {
  if (meter < 0 || meter >= MeterCount()) return 0.0;
  const double normalized = mMeterValues[static_cast<size_t>(meter)].load(std::memory_order_relaxed);
  if (std::isnan(normalized)) return 0.0;
  return mController->normalised_parameter_to_plain(mController.Get(), mTable->meterIds[static_cast<size_t>(meter)],
                                                    normalized);
}

void VST3PluginInstance::ShowMetersInController() {
  for (size_t m = 0; m < mTable->meterIds.size(); ++m) {
    const double normalized = mMeterValues[m].load(std::memory_order_relaxed);
    if (!std::isnan(normalized)) mController->set_parameter_normalised(mController.Get(), mTable->meterIds[m], normalized);
  }
}

bool VST3PluginInstance::SaveState(PluginState& state, std::string& error) {
  Flush();
  VST3Stream stream;
  if (const v3_result result = mComponent->get_state(mComponent.Get(), stream.Interface()); result != V3_OK) {
    error = "the plug-in gave no state (result " + std::to_string(result) + ")";
    return false;
  }
  state.format = kStateFormat;
  state.bytes = std::move(stream.data);
  return true;
}

bool VST3PluginInstance::LoadState(const PluginState& state, std::string& error) {
  if (state.format != kStateFormat) {
    error = "holds a state " + state.format + ", not the plug-in's VST3 state";
    return false;
  }
  // Changes made before the state was loaded come first, as the host made them.
  Flush();
  VST3Stream stream(state.bytes);
  if (const v3_result result = mComponent->set_state(mComponent.Get(), stream.Interface()); result != V3_OK) {
    error = "does not hold a state the plug-in accepts (result " + std::to_string(result) + ")";
    return false;
  }
  if (mSeparateController) {
    VST3Stream again(state.bytes);
    mController->set_component_state(mController.Get(), again.Interface());
  }
  return true;
}

}  // namespace tbhost
