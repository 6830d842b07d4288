#include "IPlug/VST3/IPlugVST3.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>

#include "IPlug/InsertLayouts.h"
#include "IPlug/VST3/VST3EditorPeer.h"
#include "graphics/IGraphics.h"
#if !defined(_WIN32)
#include "graphics/x11/IGraphicsX11.h"
#endif

namespace iplug {

IPlugVST3::IPlugVST3(const InstanceInfo& /*info*/, const PluginConfig& config)
    : IPlugAPIBase(config, kAPIVST3), IPlugProcessor(config),
      mQueueCursors(static_cast<size_t>(kMaxTimedQueues), 0) {
  ConnectChannels(kInput, 0, NChannels(kInput), true);
  ConnectChannels(kOutput, 0, NChannels(kOutput), true);
  if (NChannels(kInput) > 0) CreateBypassDelayLine();
  ResizeScratchBuffers(kPreallocatedFrames);
  // The widest insert is the arrangement until the host asks for another (hosts mostly keep a
  // plug-in's own, and most tracks are stereo); the key is the framework's one side-chain channel.
  const InsertLayouts inserts = InsertLayouts::Of(IOConfigs());
  for (const ChannelLayout* config : inserts.mConfigs) {
    const int nIn = config->TotalChannels(kInput);
    const int nOut = config->TotalChannels(kOutput);
    if (config->NBuses(kOutput) == 1 && nIn + nOut > mNInputs + mNOutputs) {
      mNInputs = nIn;
      mNOutputs = nOut;
    }
  }
  mKeyChannels = inserts.mSideChain ? 1 : 0;
}

IPlugVST3::~IPlugVST3() = default;

void IPlugVST3::Prepare() { mParamTable = std::make_unique<VST3ParamTable>(*this); }

bool IPlugVST3::ArrangeBuses(int nIn, int nOut) {
  for (const ChannelLayout* config : InsertLayouts::Of(IOConfigs()).mConfigs) {
    if (config->ContainsWildcard(kInput) || config->ContainsWildcard(kOutput) || config->NBuses(kOutput) != 1) continue;
    if (config->TotalChannels(kInput) == nIn && config->TotalChannels(kOutput) == nOut) {
      mNInputs = nIn;
      mNOutputs = nOut;
      return true;
    }
  }
  return false;
}

bool IPlugVST3::SetupProcessing(const v3_process_setup& setup) {
  if (setup.symbolic_sample_size != V3_SAMPLE_32 && setup.symbolic_sample_size != V3_SAMPLE_64) return false;
  if (std::isfinite(setup.sample_rate) && setup.sample_rate > 0.0) SetSampleRate(setup.sample_rate);
  mProcess64 = setup.symbolic_sample_size == V3_SAMPLE_64;
  SetRenderingOffline(setup.process_mode == V3_OFFLINE);
  // Sized once for every block the host may send; Process() never grows them.
  ResizeScratchBuffers(std::clamp(setup.max_block_size, static_cast<int32_t>(kPreallocatedFrames),
                                  static_cast<int32_t>(kMaxScratchFrames)));
  return true;
}

void IPlugVST3::SetActive(bool active) {
  if (active) ResetProcessing();
  OnActivationChanged(active);
}

void IPlugVST3::UpdateLatency(int samples) {
  const bool changed = samples != GetLatency();
  IPlugProcessor::UpdateLatency(samples);
  if (changed) mLatencyChanged.store(true, std::memory_order_release);
}

// ---- processing ----

v3_result IPlugVST3::Process(v3_process_data& data) {
  const int nFrames = std::max(data.nframes, 0);
  v3_param_changes** changes = data.input_params;
  mProcessedBlock = false;
  std::fill(mQueueCursors.begin(), mQueueCursors.end(), 0);
  const bool hasOutput = data.num_output_buses > 0 && data.outputs && data.outputs[0].num_channels > 0;
  if (nFrames == 0 || !hasOutput) {
    ApplyChangesUpTo(changes, nFrames, nFrames);
    return V3_OK;
  }
  if (data.symbolic_sample_size == V3_SAMPLE_64)
    RenderBlock<double>(data, nFrames);
  else
    RenderBlock<float>(data, nFrames);
  WriteMeters(data.output_params);
  SetSilenceFlags(data, nFrames);
  return V3_OK;
}

// The block is cut where a parameter changes, so each value takes effect at its own offset.
template <typename Sample>
void IPlugVST3::RenderBlock(const v3_process_data& data, int nFrames) {
  int offset = 0;
  while (offset < nFrames) {
    const int next = std::clamp(ApplyChangesUpTo(data.input_params, offset, nFrames), offset + 1, nFrames);
    RenderSegment<Sample>(data, offset, next - offset);
    offset = next;
  }
  // Points at or past the block's end hold from the next block on.
  ApplyChangesUpTo(data.input_params, nFrames, nFrames);
}

template <typename Sample>
void IPlugVST3::RenderSegment(const v3_process_data& data, int offset, int nFrames) {
  constexpr int kMaxBusChannels = 8;
  const Sample* inputs[kMaxBusChannels] = {};
  Sample* outputs[kMaxBusChannels] = {};
  auto channels = [](const v3_audio_bus_buffers& bus) -> Sample** {
    if constexpr (std::is_same_v<Sample, double>)
      return bus.channel_buffers_64;
    else
      return bus.channel_buffers_32;
  };
  BasicHostBlock<Sample> block;
  if (data.num_input_buses > 0 && data.inputs && channels(data.inputs[0])) {
    block.mNMainInputs = std::clamp(std::min(data.inputs[0].num_channels, mNInputs), 0, kMaxBusChannels);
    for (int c = 0; c < block.mNMainInputs; ++c) {
      Sample* in = channels(data.inputs[0])[c];
      inputs[c] = in ? in + offset : nullptr;
    }
    block.mMainInputs = inputs;
  }
  if (mKeyActive && data.num_input_buses > 1 && data.inputs && data.inputs[1].num_channels > 0 && channels(data.inputs[1])) {
    if (const Sample* key = channels(data.inputs[1])[0]) block.mKey = key + offset;
  }
  Sample** hostOut = channels(data.outputs[0]);
  if (!hostOut) return;
  block.mNOutputs = std::clamp(std::min(data.outputs[0].num_channels, mNOutputs), 0, kMaxBusChannels);
  for (int c = 0; c < block.mNOutputs; ++c) outputs[c] = hostOut[c] ? hostOut[c] + offset : nullptr;
  block.mOutputs = outputs;
  block.mNFrames = nFrames;
  const bool bypassed = mHostBypass.load(std::memory_order_relaxed) >= 0.5;
  bool processed = false;
  mRenderer.Render(block, bypassed, [&processed](int /*offset*/, int n) { processed = processed || n > 0; });
  mProcessedBlock = mProcessedBlock || processed;
}

int IPlugVST3::ApplyChangesUpTo(v3_param_changes** changes, int offset, int nFrames) {
  if (!changes) return nFrames;
  int next = nFrames;
  const int nQueues = std::max(v3_cpp_obj(changes)->get_param_count(changes), 0);
  for (int q = 0; q < nQueues; ++q) {
    v3_param_value_queue** queue = v3_cpp_obj(changes)->get_param_data(changes, q);
    if (!queue) continue;
    const v3_param_id id = v3_cpp_obj(queue)->get_param_id(queue);
    const int nPoints = v3_cpp_obj(queue)->get_point_count(queue);
    // Queues past the cursors' room take their last value at once.
    int dummy = 0;
    int& cursor = q < kMaxTimedQueues ? mQueueCursors[static_cast<size_t>(q)] : dummy;
    // At the block's end every point left is taken, also those a host placed past it.
    const int limit = q < kMaxTimedQueues && offset < nFrames ? offset : std::numeric_limits<int>::max();
    for (; cursor < nPoints; ++cursor) {
      int32_t at = 0;
      double value = 0.0;
      if (v3_cpp_obj(queue)->get_point(queue, cursor, &at, &value) != V3_OK) continue;
      if (at > limit) {
        next = std::min(next, static_cast<int>(at));
        break;
      }
      ApplyChange(id, value);
    }
  }
  return next;
}

void IPlugVST3::ApplyChange(v3_param_id id, double normalized) {
  if (id == VST3ParamTable::kBypassID) {
    if (!std::isnan(normalized)) mHostBypass.store(std::clamp(normalized, 0.0, 1.0), std::memory_order_relaxed);
    return;
  }
  mHostParams.SetFromHost(mHostParams.ParamIndexFromID(id), normalized, HostParams::Scale::kNormalized,
                          HostParams::EditorNotice::kNone);
}

void IPlugVST3::WriteMeters(v3_param_changes** out) {
  const bool bypassed = mHostBypass.load(std::memory_order_relaxed) >= 0.5;
  // A block that ran no processing leaves the readings, unless the bypass took them away.
  if (!out || !mParamTable || !(mProcessedBlock || bypassed)) return;
  for (int m = 0; m < NMeters(); ++m) {
    // Switched out, nothing is taken away.
    const double normalized = bypassed ? mParamTable->MeterNormalized(m, 0.0) : mParamTable->MeterNormalized(m, GetMeterValue(m));
    v3_param_id id = VST3ParamTable::kMeterIDBase + static_cast<v3_param_id>(m);
    int32_t index = 0;
    v3_param_value_queue** queue = v3_cpp_obj(out)->add_param_data(out, &id, &index);
    if (!queue) continue;
    int32_t point = 0;
    v3_cpp_obj(queue)->add_point(queue, 0, normalized, &point);
  }
}

// An output is flagged silent only when it is: silent input keeps being processed (the
// processing may still be sounding out what came before), and its result is looked at.
void IPlugVST3::SetSilenceFlags(const v3_process_data& data, int nFrames) const {
  v3_audio_bus_buffers& out = data.outputs[0];
  out.channel_silence_bitset = 0;
  const bool inputSilent = data.num_input_buses > 0 && data.inputs && data.inputs[0].num_channels > 0 &&
                           (data.inputs[0].channel_silence_bitset &
                            ((uint64_t{1} << std::min(data.inputs[0].num_channels, 63)) - 1)) ==
                               ((uint64_t{1} << std::min(data.inputs[0].num_channels, 63)) - 1);
  if (!inputSilent) return;
  const bool is64 = data.symbolic_sample_size == V3_SAMPLE_64;
  for (int c = 0; c < std::min(out.num_channels, 63); ++c) {
    bool silent = true;
    if (is64) {
      const double* x = out.channel_buffers_64 ? out.channel_buffers_64[c] : nullptr;
      for (int f = 0; x && silent && f < nFrames; ++f) silent = x[f] == 0.0;
    } else {
      const float* x = out.channel_buffers_32 ? out.channel_buffers_32[c] : nullptr;
      for (int f = 0; x && silent && f < nFrames; ++f) silent = x[f] == 0.0f;
    }
    if (silent) out.channel_silence_bitset |= uint64_t{1} << c;
  }
}

// ---- the object behind a controller ----

void IPlugVST3::SendParamValueToHost(int paramIdx, double normalizedValue) {
  if (mEditorPeer && IsValidParamIdx(paramIdx)) mEditorPeer->PerformEdit(paramIdx, normalizedValue);
}

void IPlugVST3::BeginHostParamGesture(int paramIdx) {
  if (mEditorPeer && IsValidParamIdx(paramIdx)) mEditorPeer->BeginEdit(paramIdx);
}

void IPlugVST3::EndHostParamGesture(int paramIdx) {
  if (mEditorPeer && IsValidParamIdx(paramIdx)) mEditorPeer->EndEdit(paramIdx);
}

// The editor's size in units stays what the configuration or the state says; a new window size
// is a new zoom, which the editor's geometry keeps.
bool IPlugVST3::ResizeEditorWindow(int width, int height) {
  return mEditorPeer && mEditorPeer->EditorResized(width, height);
}

void IPlugVST3::OnPeriodicTick() {
  IPlugAPIBase::OnPeriodicTick();
  if (mEditorPeer) mEditorPeer->OnEditorTick();
}

void IPlugVST3::ShowMeterNormalized(int meterIdx, double normalized) {
  if (meterIdx < 0 || meterIdx >= NMeters() || !mParamTable) return;
  ShowMeterValue(meterIdx, mParamTable->ToPlain(VST3ParamTable::kMeterIDBase + static_cast<v3_param_id>(meterIdx), normalized));
}

igraphics::IGraphics* IPlugVST3::MakeGraphicsContext() {
  igraphics::IGraphics* graphics = IPlugAPIBase::MakeGraphicsContext();
#if !defined(_WIN32)
  // A VST3 host on Linux wants every editor callback on its own run loop: no thread of ours
  // paces the drawing, the run loop's timer does.
  if (auto* x11 = dynamic_cast<igraphics::IGraphicsX11*>(graphics)) x11->SetVBlankMode(false);
#endif
  return graphics;
}

}  // namespace iplug
