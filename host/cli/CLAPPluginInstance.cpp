#include "host/cli/CLAPPluginInstance.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "clap/ext/audio-ports.h"
#include "clap/ext/gui.h"
#include "clap/ext/latency.h"
#include "clap/ext/params.h"
#include "clap/ext/state.h"
#include "clap/plugin-factory.h"
#include "clap/process.h"
#include "IPlug/CLAP/CLAPExtensions.h"
#include "host/cli/CLAPStreams.h"

namespace tbhost {
namespace {
constexpr double kFirstSampleRate = 48000.0;
constexpr int kFirstChannels = 2;
// Stepped parameters with more steps than this get no table of texts (the numbers are shown).
constexpr double kMaxTextSteps = 256;
constexpr const char* kStateFormat = "CLAP";

template <typename T>
const T* ExtensionOf(const clap_plugin* plugin, const char* id) {
  return static_cast<const T*>(plugin->get_extension(plugin, id));
}
}  // namespace

std::unique_ptr<CLAPPluginInstance> CLAPPluginInstance::Create(const std::string& path, std::string& error) {
  std::shared_ptr<CLAPModule> module = CLAPModule::Open(path, error);
  return module ? Create(std::move(module), error) : nullptr;
}

std::unique_ptr<CLAPPluginInstance> CLAPPluginInstance::Create(std::shared_ptr<CLAPModule> module, std::string& error) {
  std::unique_ptr<CLAPPluginInstance> instance(new CLAPPluginInstance(std::move(module)));
  if (!instance->Make(error)) return nullptr;
  if (!instance->Initialise(kFirstSampleRate, kFirstChannels, false, error) &&
      !instance->Initialise(kFirstSampleRate, 1, false, error))
    return nullptr;
  return instance;
}

CLAPPluginInstance::CLAPPluginInstance(std::shared_ptr<CLAPModule> module)
: mModule(std::move(module)), mHost(std::make_unique<CLAPHost>()) {}

CLAPPluginInstance::~CLAPPluginInstance() {
  if (!mPlugin) return;
  mHost->TakeMainThread();
  Deactivate();
  mPlugin->destroy(mPlugin);
}

bool CLAPPluginInstance::Make(std::string& error) {
  const clap_plugin_factory& factory = mModule->Factory();
  const std::string id = mModule->Descriptor().id;
  mPlugin = factory.create_plugin(&factory, mHost->Get(), id.c_str());
  if (!mPlugin) {
    error = mModule->Path() + " made no plug-in " + id;
    return false;
  }
  if (!mPlugin->init(mPlugin)) {
    // A plug-in that failed init is destroyed without further calls.
    mPlugin->destroy(mPlugin);
    mPlugin = nullptr;
    error = "the plug-in " + id + " of " + mModule->Path() + " refused to initialise";
    return false;
  }
  mHost->Attach(mPlugin);
  mParamsExt = ExtensionOf<clap_plugin_params>(mPlugin, CLAP_EXT_PARAMS);
  mStateExt = ExtensionOf<clap_plugin_state>(mPlugin, CLAP_EXT_STATE);
  mLatencyExt = ExtensionOf<clap_plugin_latency>(mPlugin, CLAP_EXT_LATENCY);
  mPortsExt = ExtensionOf<clap_plugin_audio_ports>(mPlugin, CLAP_EXT_AUDIO_PORTS);
  if (!mPortsExt) {
    error = "the plug-in " + id + " has no audio ports";
    return false;
  }
  return ReadParameters(error);
}

bool CLAPPluginInstance::ReadParameters(std::string& error) {
  const uint32_t count = mParamsExt ? mParamsExt->count(mPlugin) : 0;
  for (uint32_t k = 0; k < count; ++k) {
    clap_param_info_t info{};
    if (!mParamsExt->get_info(mPlugin, k, &info)) {
      error = "the plug-in gave no description of its parameter " + std::to_string(k);
      return false;
    }
    Param param{info.id, info.cookie, info.flags, info.module};
    if (info.flags & CLAP_PARAM_IS_BYPASS) {
      mBypass = static_cast<int>(k);
      mBypassParam = param;
      continue;
    }
    ParamInfo p;
    p.index = static_cast<int>(mParams.size());
    p.name = info.name;
    p.settable = !(info.flags & CLAP_PARAM_IS_READONLY);
    p.min = info.min_value;
    p.max = info.max_value;
    p.defaultValue = info.default_value;
    p.step = (info.flags & CLAP_PARAM_IS_STEPPED) ? 1.0 : 0.0;
    if (!p.settable) mMeters.push_back(p.index);
    mParams.push_back(std::move(p));
    mClapParams.push_back(std::move(param));
  }
  // The texts of stepped parameters, where the plug-in shows more than the number.
  for (ParamInfo& p : mParams) {
    if (p.step <= 0.0 || !(p.max - p.min <= kMaxTextSteps)) continue;
    for (double v = std::ceil(p.min); v <= p.max; v += 1.0) {
      std::string text;
      if (ValueToText(p.index, v, text) && text != FormatParamNumber(v)) p.displayTexts.emplace_back(v, text);
    }
  }
  return true;
}

const clap_plugin_gui* CLAPPluginInstance::Gui() const {
  return ExtensionOf<clap_plugin_gui>(mPlugin, CLAP_EXT_GUI);
}

std::unique_ptr<PluginInstance> CLAPPluginInstance::NewInstance(std::string& error) const {
  return Create(mModule, error);
}

bool CLAPPluginInstance::SelectConfiguration(int channels, std::string& error) {
  const auto* configs = ExtensionOf<clap_plugin_audio_ports_config>(mPlugin, CLAP_EXT_AUDIO_PORTS_CONFIG);
  if (!configs) return true;  // one layout: the ports say whether it fits
  const uint32_t count = configs->count(mPlugin);
  for (uint32_t k = 0; k < count; ++k) {
    clap_audio_ports_config_t config{};
    if (!configs->get(mPlugin, k, &config)) continue;
    if (!config.has_main_input || !config.has_main_output) continue;
    if (config.main_input_channel_count != static_cast<uint32_t>(channels) ||
        config.main_output_channel_count != static_cast<uint32_t>(channels))
      continue;
    if (configs->select(mPlugin, config.id)) return true;
    error = "the plug-in refused its own configuration \"" + std::string(config.name) + "\"";
    return false;
  }
  error = "the plug-in offers no " + std::string(channels == 1 ? "mono" : "stereo") + " configuration";
  return false;
}

bool CLAPPluginInstance::ReadPorts(int channels, std::string& error) {
  mIns.clear();
  mOuts.clear();
  mMainIn = mKeyIn = mMainOut = -1;
  for (const bool input : {true, false}) {
    std::vector<Port>& ports = input ? mIns : mOuts;
    const uint32_t count = mPortsExt->count(mPlugin, input);
    if (count > kMaxPorts) {
      error = "the plug-in has " + std::to_string(count) + " audio ports one way; this host feeds at most 4";
      return false;
    }
    for (uint32_t k = 0; k < count; ++k) {
      clap_audio_port_info_t info{};
      if (!mPortsExt->get(mPlugin, k, input, &info) || info.channel_count < 1 || info.channel_count > 2) {
        error = "the plug-in's audio port " + std::to_string(k) + " is not one this host can feed";
        return false;
      }
      ports.push_back({info.channel_count, (info.flags & CLAP_AUDIO_PORT_IS_MAIN) != 0,
                       (info.flags & CLAP_AUDIO_PORT_SUPPORTS_64BITS) != 0});
    }
  }
  const auto mainOf = [](const std::vector<Port>& ports) {
    const auto it = std::find_if(ports.begin(), ports.end(), [](const Port& p) { return p.main; });
    return it == ports.end() ? -1 : static_cast<int>(it - ports.begin());
  };
  mMainIn = mainOf(mIns);
  mMainOut = mainOf(mOuts);
  // The key is the first input that is not the main one.
  for (size_t k = 0; k < mIns.size() && mKeyIn < 0; ++k)
    if (static_cast<int>(k) != mMainIn) mKeyIn = static_cast<int>(k);
  const auto fits = [channels](const std::vector<Port>& ports, int index) {
    return index >= 0 && ports[static_cast<size_t>(index)].channels == static_cast<uint32_t>(channels);
  };
  if (!fits(mIns, mMainIn) || !fits(mOuts, mMainOut)) {
    error = "the plug-in has no " + std::string(channels == 1 ? "mono" : "stereo") + " main input and output";
    return false;
  }
  return true;
}

bool CLAPPluginInstance::UseDoublePrecision(bool on, std::string& error) {
  mHost->TakeMainThread();
  if (on && !(mIns[static_cast<size_t>(mMainIn)].takes64 && mOuts[static_cast<size_t>(mMainOut)].takes64)) {
    error = "the plug-in's main ports take 32-bit samples only";
    return false;
  }
  if (mDouble == on) return true;
  mDouble = on;
  // Buffers of the new width, made at activation.
  if (mActive) Restart();
  return true;
}

bool CLAPPluginInstance::Initialise(double sampleRate, int mainChannels, bool sideChain, std::string& error) {
  if (!CheckInsert(sampleRate, mainChannels, error)) return false;
  mHost->TakeMainThread();
  Settle();
  Deactivate();
  if (!SelectConfiguration(mainChannels, error) || !ReadPorts(mainChannels, error)) return false;
  if (mDouble) {
    for (const std::vector<Port>* ports : {&mIns, &mOuts})
      for (const Port& port : *ports)
        if (!port.takes64) {
          error = "the plug-in's ports take 32-bit samples only";
          return false;
        }
  }
  mChannels = mainChannels;
  mHasKey = sideChain && mKeyIn >= 0;
  mPosition = 0;
  mHost->TakeRestartRequest();  // activated afresh now
  return Activate(sampleRate, error);
}

bool CLAPPluginInstance::Activate(double sampleRate, std::string& error) {
  const auto frames = static_cast<size_t>(mMaxPiece);
  mIns64.assign(mIns.size() * 2, std::vector<double>(mDouble ? frames : 0));
  mOuts64.assign(mOuts.size() * 2, std::vector<double>(mDouble ? frames : 0));
  mSilence.assign(frames, 0.0f);
  mDropped.assign(mOuts.size() * 2, std::vector<float>(frames));
  if (!mPlugin->activate(mPlugin, sampleRate, 1, static_cast<uint32_t>(mMaxPiece))) {
    error = "the plug-in refused to activate at " + FormatParamNumber(sampleRate) + " Hz";
    return false;
  }
  mSampleRate = sampleRate;
  mActive = true;
  CLAPHost::AudioThreadScope audio(*mHost);
  mProcessing = mPlugin->start_processing(mPlugin);
  if (!mProcessing) {
    error = "the plug-in refused to start processing";
    return false;
  }
  return true;
}

void CLAPPluginInstance::Deactivate() {
  if (mProcessing) {
    CLAPHost::AudioThreadScope audio(*mHost);
    mPlugin->stop_processing(mPlugin);
    mProcessing = false;
  }
  if (mActive) {
    mPlugin->deactivate(mPlugin);
    mActive = false;
  }
}

void CLAPPluginInstance::Restart() const {
  // Answering the plug-in's request leaves what the host sees of the instance as it was; only
  // the plug-in's activation is redone.
  auto& self = const_cast<CLAPPluginInstance&>(*this);
  if (!mActive) return;
  self.Deactivate();
  std::string error;
  if (!self.Activate(mSampleRate, error)) self.mProcessErrors++;
}

void CLAPPluginInstance::ServiceRequests() const {
  mHost->TakeMainThread();
  for (int round = 0; round < 4; ++round) {
    bool any = false;
    if (mHost->TakeCallbackRequest()) {
      any = true;
      mPlugin->on_main_thread(mPlugin);
    }
    if (mHost->TakeFlushRequest()) {
      any = true;
      Settle();
    }
    if (!any) return;
  }
}

void CLAPPluginInstance::ServiceCallbacks() const {
  mHost->TakeMainThread();
  if (mHost->TakeCallbackRequest()) mPlugin->on_main_thread(mPlugin);
}

void CLAPPluginInstance::RestartIfAsked() const {
  ServiceRequests();
  // Asked for when the latency changes: carried out when the host next needs the latency, so a
  // switch during playback is heard as the plug-in makes it, not as a re-activation.
  if (mHost->TakeRestartRequest()) Restart();
}

void CLAPPluginInstance::Settle() const {
  if (!mParamsExt || !mParamsExt->flush) return;
  mInEvents.ShowAll();
  mOutEvents.Clear();
  if (mActive) {
    // Between blocks the host's audio side may flush an active plug-in; no block runs now.
    CLAPHost::AudioThreadScope audio(*mHost);
    mParamsExt->flush(mPlugin, mInEvents.Get(), mOutEvents.Get());
  } else {
    mParamsExt->flush(mPlugin, mInEvents.Get(), mOutEvents.Get());
  }
  mInEvents.Clear();
}

void CLAPPluginInstance::SetParameter(int index, double value) {
  mHost->TakeMainThread();
  if (!SetParameterAt(index, value, 0)) return;
  Settle();
  ServiceRequests();
}

bool CLAPPluginInstance::SetParameterAt(int index, double value, int offset) {
  mHost->TakeMainThread();
  if (index < 0 || static_cast<size_t>(index) >= mParams.size() || !mParams[static_cast<size_t>(index)].settable ||
      offset < 0 || std::isnan(value))
    return false;
  const Param& param = mClapParams[static_cast<size_t>(index)];
  return mInEvents.Push(param.id, param.cookie, static_cast<uint32_t>(offset), value);
}

void CLAPPluginInstance::SetBypass(bool on) {
  mHost->TakeMainThread();
  if (mBypass < 0) return;
  if (mInEvents.Push(mBypassParam.id, mBypassParam.cookie, 0, on ? 1.0 : 0.0)) Settle();
  ServiceRequests();
}

bool CLAPPluginInstance::ValueToText(int index, double value, std::string& text) const {
  mHost->TakeMainThread();
  if (!mParamsExt || index < 0 || static_cast<size_t>(index) >= mClapParams.size()) return false;
  char buffer[CLAP_NAME_SIZE] = {};
  if (!mParamsExt->value_to_text(mPlugin, mClapParams[static_cast<size_t>(index)].id, value, buffer, sizeof buffer))
    return false;
  buffer[sizeof buffer - 1] = '\0';
  text = buffer;
  return true;
}

bool CLAPPluginInstance::CurrentValue(int index, double& value) const {
  mHost->TakeMainThread();
  if (!mParamsExt || index < 0 || static_cast<size_t>(index) >= mClapParams.size()) return false;
  return mParamsExt->get_value(mPlugin, mClapParams[static_cast<size_t>(index)].id, &value);
}

bool CLAPPluginInstance::TextToValue(int index, const std::string& text, double& value) const {
  mHost->TakeMainThread();
  if (!mParamsExt || index < 0 || static_cast<size_t>(index) >= mClapParams.size()) return false;
  return mParamsExt->text_to_value(mPlugin, mClapParams[static_cast<size_t>(index)].id, text.c_str(), &value);
}

void CLAPPluginInstance::ProcessBlock(const float* const* mainInputs, const float* sideChain, float* const* outputs,
                                      int nFrames) {
  if (!mProcessing) {
    // Nothing active to hear the block: the host plays silence.
    for (int c = 0; c < mChannels; ++c) std::fill_n(outputs[c], nFrames, 0.0f);
    return;
  }
  CLAPHost::AudioThreadScope audio(*mHost);
  mOutEvents.Clear();
  for (int done = 0; done < nFrames || (nFrames == 0 && done == 0);) {
    const int n = std::min(nFrames - done, mMaxPiece);
    ProcessPiece(mainInputs, sideChain, outputs, done, n, done + n >= nFrames);
    if (n == 0) break;
    done += n;
  }
  mInEvents.Clear();
}

void CLAPPluginInstance::ProcessPiece(const float* const* mainInputs, const float* sideChain, float* const* outputs,
                                      int from, int n, bool last) {
  std::array<std::array<float*, 2>, kMaxPorts> in32{}, out32{};
  std::array<std::array<double*, 2>, kMaxPorts> in64{}, out64{};
  std::array<clap_audio_buffer_t, kMaxPorts> ins{}, outs{};
  const auto count = static_cast<size_t>(n);
  for (size_t p = 0; p < mIns.size(); ++p) {
    for (size_t c = 0; c < mIns[p].channels; ++c) {
      // An input is only read; CLAP's buffers are not const.
      const float* source = mSilence.data();
      if (static_cast<int>(p) == mMainIn) source = mainInputs[c] + from;
      else if (static_cast<int>(p) == mKeyIn && mHasKey && sideChain) source = sideChain + from;
      in32[p][c] = const_cast<float*>(source);
      if (mDouble) {
        double* wide = mIns64[2 * p + c].data();
        std::copy_n(source, count, wide);
        in64[p][c] = wide;
      }
    }
    ins[p].channel_count = mIns[p].channels;
    if (mDouble) ins[p].data64 = in64[p].data();
    else ins[p].data32 = in32[p].data();
  }
  for (size_t p = 0; p < mOuts.size(); ++p) {
    for (size_t c = 0; c < mOuts[p].channels; ++c) {
      out32[p][c] = static_cast<int>(p) == mMainOut ? outputs[c] + from : mDropped[2 * p + c].data();
      out64[p][c] = mDouble ? mOuts64[2 * p + c].data() : nullptr;
    }
    outs[p].channel_count = mOuts[p].channels;
    if (mDouble) outs[p].data64 = out64[p].data();
    else outs[p].data32 = out32[p].data();
  }
  mInEvents.ShowPiece(static_cast<uint32_t>(from), static_cast<uint32_t>(n), last);
  clap_process_t process{};
  process.steady_time = mPosition;
  process.frames_count = static_cast<uint32_t>(n);
  process.audio_inputs = ins.data();
  process.audio_outputs = outs.data();
  process.audio_inputs_count = static_cast<uint32_t>(mIns.size());
  process.audio_outputs_count = static_cast<uint32_t>(mOuts.size());
  process.in_events = mInEvents.Get();
  process.out_events = mOutEvents.Get();
  if (mPlugin->process(mPlugin, &process) == CLAP_PROCESS_ERROR) ++mProcessErrors;
  if (mDouble) {
    const size_t p = static_cast<size_t>(mMainOut);
    for (size_t c = 0; c < mOuts[p].channels; ++c)
      for (size_t i = 0; i < count; ++i) out32[p][c][i] = static_cast<float>(out64[p][c][i]);
  }
  mPosition += n;
}

int CLAPPluginInstance::Latency() const {
  RestartIfAsked();
  if (!mLatencyExt || !mActive) return 0;
  return static_cast<int>(mLatencyExt->get(mPlugin));
}

std::string CLAPPluginInstance::MeterName(int meter) const {
  return meter >= 0 && meter < MeterCount() ? mParams[static_cast<size_t>(mMeters[static_cast<size_t>(meter)])].name
                                            : std::string();
}

double CLAPPluginInstance::MeterValue(int meter) const {
  mHost->TakeMainThread();
  double value = 0.0;
  if (meter < 0 || meter >= MeterCount() || !mParamsExt) return value;
  const Param& param = mClapParams[static_cast<size_t>(mMeters[static_cast<size_t>(meter)])];
  return mParamsExt->get_value(mPlugin, param.id, &value) ? value : 0.0;
}

bool CLAPPluginInstance::SaveState(PluginState& state, std::string& error) {
  mHost->TakeMainThread();
  if (!mStateExt) {
    error = "the plug-in keeps no state";
    return false;
  }
  Settle();
  std::vector<uint8_t> bytes;
  CLAPWriteStream stream(bytes, mStatePiece);
  if (!mStateExt->save(mPlugin, stream.Get())) {
    error = "the plug-in gave no state";
    return false;
  }
  state.format = kStateFormat;
  state.bytes = std::move(bytes);
  return true;
}

bool CLAPPluginInstance::LoadState(const PluginState& state, std::string& error) {
  mHost->TakeMainThread();
  if (!mStateExt) {
    error = "the plug-in takes no state";
    return false;
  }
  if (state.format != kStateFormat) {
    error = "holds a state " + state.format + ", not the plug-in's " + kStateFormat;
    return false;
  }
  Settle();
  CLAPReadStream stream(state.bytes.data(), state.bytes.size(), mStatePiece);
  const bool loaded = mStateExt->load(mPlugin, stream.Get());
  ServiceRequests();
  if (!loaded) {
    error = "does not hold a state the plug-in accepts";
    return false;
  }
  return true;
}

}  // namespace tbhost
