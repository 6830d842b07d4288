#include "IPlug/CLAP/IPlugCLAP.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <tuple>

namespace iplug {
namespace {

// The longest block the scratch buffers are sized for; hosts announcing more are served in
// pieces.
constexpr int kMaxScratchFrames = 65536;

template <typename Ext>
const Ext* HostExtension(const clap_host_t* host, const char* id) {
  return host && host->get_extension ? static_cast<const Ext*>(host->get_extension(host, id)) : nullptr;
}

void CopyName(char* out, size_t capacity, const char* text) { std::snprintf(out, capacity, "%s", text ? text : ""); }

}  // namespace

IPlugCLAP::IPlugCLAP(const InstanceInfo& info, const PluginConfig& config)
    : IPlugAPIBase(config, kAPICLAP),
      IPlugProcessor(config),
      mHost(info.mHost),
      mInserts(InsertLayouts::Of(IOConfigs())) {
  ConnectChannels(kInput, 0, NChannels(kInput), true);
  ConnectChannels(kOutput, 0, NChannels(kOutput), true);
  if (NChannels(kInput) > 0) CreateBypassDelayLine();
  // Stereo where it is offered: the layout most hosts put an insert on first.
  for (size_t i = 0; i < mInserts.mConfigs.size(); ++i)
    if (mInserts.mConfigs[i]->TotalChannels(kOutput) == 2) mSelectedConfig = static_cast<int>(i);
  const auto size = [this](auto& pointers) {
    pointers.mIn.assign(static_cast<size_t>(NChannels(kInput)), nullptr);
    pointers.mOut.assign(static_cast<size_t>(NChannels(kOutput)), nullptr);
  };
  size(std::get<RangePointers<float>>(mRangePointers));
  size(std::get<RangePointers<double>>(mRangePointers));
  ResizeScratchBuffers(kPreallocatedFrames);
}

IPlugCLAP::~IPlugCLAP() = default;

bool IPlugCLAP::Init() {
  mThreads.Attach(mHost);
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  mHostExt.mParams = HostExtension<clap_host_params_t>(mHost, CLAP_EXT_PARAMS);
  mHostExt.mLatency = HostExtension<clap_host_latency_t>(mHost, CLAP_EXT_LATENCY);
  mHostExt.mGui = HostExtension<clap_host_gui_t>(mHost, CLAP_EXT_GUI);
  mHostExt.mTimer = HostExtension<clap_host_timer_support_t>(mHost, CLAP_EXT_TIMER_SUPPORT);
  mHostExt.mFd = HostExtension<clap_host_posix_fd_support_t>(mHost, CLAP_EXT_POSIX_FD_SUPPORT);
  mHostExt.mState = HostExtension<clap_host_state_t>(mHost, CLAP_EXT_STATE);
  if (mHost && mHost->name) SetHost(mHost->name, 0);
  // The product has declared its parameters by now (its constructor ran after this class's).
  mParamIdxs.clear();
  for (int i = 0; i < NParams(); ++i)
    if (HostParams::IsVisible(*GetParam(i))) mParamIdxs.push_back(i);
  return true;
}

bool IPlugCLAP::Activate(double sampleRate, uint32_t /*minFrames*/, uint32_t maxFrames) {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  if (mActive.load(std::memory_order_acquire) || !(sampleRate > 0.0) || sampleRate > 1e7) return false;
  SetSampleRate(sampleRate);
  const int maxBlock = static_cast<int>(std::min<uint32_t>(maxFrames, kMaxScratchFrames));
  ResizeScratchBuffers(std::max(GetBlockSize(), std::clamp(maxBlock, kPreallocatedFrames, kMaxScratchFrames)));
  // An empty block lets the processing state its latency for the current settings, which the
  // host reads right after activation; then it starts afresh.
  ProcessHostBuffers(0);
  ResetProcessing();
  mActiveLatency = GetLatency();
  mLatencyChanged.store(false, std::memory_order_relaxed);
  mActive.store(true, std::memory_order_release);
  OnActivationChanged(true);
  return true;
}

void IPlugCLAP::Deactivate() {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  mActive.store(false, std::memory_order_release);
  OnActivationChanged(false);
}

bool IPlugCLAP::StartProcessing() {
  CLAP_EXPECT_AUDIO_THREAD(mThreads);
  return mActive.load(std::memory_order_acquire);
}

void IPlugCLAP::StopProcessing() { CLAP_EXPECT_AUDIO_THREAD(mThreads); }

void IPlugCLAP::Reset() {
  CLAP_EXPECT_AUDIO_THREAD(mThreads);
  ResetProcessing();
}

int IPlugCLAP::MainChannels() const {
  return mInserts.mConfigs.empty() ? 0
                                   : mInserts.mConfigs[static_cast<size_t>(mSelectedConfig)]->TotalChannels(kOutput);
}

clap_process_status IPlugCLAP::Process(const clap_process_t& process) {
  CLAP_EXPECT_AUDIO_THREAD(mThreads);
  if (!mActive.load(std::memory_order_acquire)) return CLAP_PROCESS_ERROR;
  SendQueuedEvents(process.out_events);
  const clap_audio_buffer_t* in = process.audio_inputs_count > 0 ? &process.audio_inputs[0] : nullptr;
  const clap_audio_buffer_t* key =
      mInserts.mSideChain && process.audio_inputs_count > 1 && process.audio_inputs[1].channel_count > 0
          ? &process.audio_inputs[1]
          : nullptr;
  const clap_audio_buffer_t* out = process.audio_outputs_count > 0 ? &process.audio_outputs[0] : nullptr;
  // The host gives every port in one sample size (the ports require it): the output decides.
  const auto count = [](const clap_audio_buffer_t* b) {
    return b ? static_cast<int>(std::min<uint32_t>(b->channel_count, kMaxChannelsPerBus)) : 0;
  };
  if (out && !out->data32 && out->data64)
    RenderEvents(process, PortBuffers<double>{in ? in->data64 : nullptr, count(in),
                                              key && key->data64 ? key->data64[0] : nullptr, out->data64, count(out)});
  else
    RenderEvents(process,
                 PortBuffers<float>{in ? in->data32 : nullptr, count(in), key && key->data32 ? key->data32[0] : nullptr,
                                    out ? out->data32 : nullptr, count(out)});
  NoteLatency();
  return CLAP_PROCESS_CONTINUE;
}

// Events take effect at their sample offsets: the block is rendered in ranges that end where
// the next event is due. A block without events is one range.
template <typename Sample>
void IPlugCLAP::RenderEvents(const clap_process_t& process, const PortBuffers<Sample>& buffers) {
  const int nFrames = static_cast<int>(std::min<uint32_t>(process.frames_count, std::numeric_limits<int>::max()));
  const clap_input_events_t* events = process.in_events;
  const uint32_t nEvents = events && events->size ? events->size(events) : 0;
  int start = 0;
  for (uint32_t i = 0; i < nEvents; ++i) {
    const clap_event_header_t* header = events->get(events, i);
    if (!header) continue;
    // A list out of order is applied in its order, never rendered backwards.
    const int at = static_cast<int>(
        std::clamp<uint32_t>(header->time, static_cast<uint32_t>(start), static_cast<uint32_t>(nFrames)));
    if (at > start) RenderRange(buffers, start, at);
    start = std::max(start, at);
    ApplyEvent(*header);
  }
  if (nFrames > start) RenderRange(buffers, start, nFrames);
}

// A channel the host's port lacks is a missing buffer: the renderer answers missing inputs with
// silence and leaves a block with missing outputs alone.
template <typename Sample>
void IPlugCLAP::RenderRange(const PortBuffers<Sample>& buffers, int start, int end) {
  auto& [ins, outs] = std::get<RangePointers<Sample>>(mRangePointers);
  const int nMain = MainChannels();
  const int nIn = std::min(nMain, static_cast<int>(ins.size()));
  const int nOut = std::min(nMain, static_cast<int>(outs.size()));
  for (int c = 0; c < nIn; ++c)
    ins[static_cast<size_t>(c)] = c < buffers.mNIn && buffers.mIn[c] ? buffers.mIn[c] + start : nullptr;
  for (int c = 0; c < nOut; ++c)
    outs[static_cast<size_t>(c)] = c < buffers.mNOut && buffers.mOut[c] ? buffers.mOut[c] + start : nullptr;
  const BasicHostBlock<Sample> block{
      buffers.mIn ? ins.data() : nullptr,   nIn,  buffers.mKey ? buffers.mKey + start : nullptr,
      buffers.mOut ? outs.data() : nullptr, nOut, end - start};
  mRenderer.Render(block, mHostBypass.load(std::memory_order_relaxed), [](int, int) {});
}

void IPlugCLAP::NoteLatency() {
  if (GetLatency() == mActiveLatency || mLatencyChanged.exchange(true, std::memory_order_acq_rel)) return;
  // The restart may only be asked for on the main thread: the host calls back there.
  if (mHost && mHost->request_callback) mHost->request_callback(mHost);
}

void IPlugCLAP::OnMainThread() {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  if (!mLatencyChanged.exchange(false, std::memory_order_acq_rel)) return;
  if (mActive.load(std::memory_order_acquire)) {
    if (mHost && mHost->request_restart) mHost->request_restart(mHost);
  } else if (mHostExt.mLatency && mHostExt.mLatency->changed) {
    mHostExt.mLatency->changed(mHost);
  }
}

bool IPlugCLAP::SetRenderMode(clap_plugin_render_mode mode) {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  if (mode != CLAP_RENDER_REALTIME && mode != CLAP_RENDER_OFFLINE) return false;
  SetRenderingOffline(mode == CLAP_RENDER_OFFLINE);
  return true;
}

// ---- audio ports ----

uint32_t IPlugCLAP::AudioPortCount(bool isInput) const {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  if (mInserts.mConfigs.empty()) return 0;
  return isInput ? (mInserts.mSideChain ? 2u : 1u) : 1u;
}

bool IPlugCLAP::AudioPortInfo(uint32_t index, bool isInput, clap_audio_port_info_t& info) const {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  if (index >= AudioPortCount(isInput)) return false;
  const bool keyPort = isInput && index == 1;
  info.id = index;
  TextBuffer name;
  BusDisplayName(isInput ? kInput : kOutput, static_cast<int>(index), static_cast<int>(AudioPortCount(isInput)), name);
  CopyName(info.name, sizeof info.name, name.Get());
  // Both sizes are welcome, the processing's own doubles most; one size for every port, as
  // one renderer serves them all.
  info.flags =
      CLAP_AUDIO_PORT_SUPPORTS_64BITS | CLAP_AUDIO_PORT_PREFERS_64BITS | CLAP_AUDIO_PORT_REQUIRES_COMMON_SAMPLE_SIZE;
  if (!keyPort) info.flags |= CLAP_AUDIO_PORT_IS_MAIN;
  // The key is one channel: the processing listens to a single side-chain channel.
  info.channel_count = keyPort ? 1u : static_cast<uint32_t>(MainChannels());
  info.port_type = info.channel_count == 1 ? CLAP_PORT_MONO : info.channel_count == 2 ? CLAP_PORT_STEREO : nullptr;
  // The inputs are converted before any output is written only for 32-bit buffers; 64-bit
  // ones are processed in place of the host's, so no buffer is shared.
  info.in_place_pair = CLAP_INVALID_ID;
  return true;
}

bool IPlugCLAP::AudioPortsConfigInfo(uint32_t index, clap_audio_ports_config_t& config) const {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  if (index >= AudioPortsConfigCount()) return false;
  const ChannelLayout& layout = *mInserts.mConfigs[index];
  const int nIn = layout.TotalChannels(kInput);
  const int nOut = layout.TotalChannels(kOutput);
  config.id = index;
  CopyName(config.name, sizeof config.name, nOut == 1 ? "Mono" : nOut == 2 ? "Stereo" : "Multichannel");
  config.input_port_count = mInserts.mSideChain ? 2u : 1u;
  config.output_port_count = 1;
  config.has_main_input = nIn > 0;
  config.main_input_channel_count = static_cast<uint32_t>(std::max(nIn, 0));
  config.main_input_port_type = nIn == 1 ? CLAP_PORT_MONO : nIn == 2 ? CLAP_PORT_STEREO : nullptr;
  config.has_main_output = nOut > 0;
  config.main_output_channel_count = static_cast<uint32_t>(std::max(nOut, 0));
  config.main_output_port_type = nOut == 1 ? CLAP_PORT_MONO : nOut == 2 ? CLAP_PORT_STEREO : nullptr;
  return true;
}

bool IPlugCLAP::SelectAudioPortsConfig(clap_id configID) {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  if (mActive.load(std::memory_order_acquire) || configID >= AudioPortsConfigCount()) return false;
  mSelectedConfig = static_cast<int>(configID);
  return true;
}

}  // namespace iplug
