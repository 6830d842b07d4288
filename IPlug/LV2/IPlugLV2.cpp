#include "IPlug/LV2/IPlugLV2.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "IPlug/LV2/LV2Catalogue.h"
#include "IPlug/LV2/LV2Features.h"
#include "IPlug/LV2/LV2UIPeer.h"

namespace iplug {

IPlugLV2::IPlugLV2(const InstanceInfo& info, const PluginConfig& config)
    : IPlugAPIBase(config, kAPILV2), IPlugProcessor(config) {
  ConnectChannels(kInput, 0, NChannels(kInput), true);
  ConnectChannels(kOutput, 0, NChannels(kOutput), true);
  if (NChannels(kInput) > 0) CreateBypassDelayLine();
  if (std::isfinite(info.mSampleRate) && info.mSampleRate > 0.0) SetSampleRate(info.mSampleRate);
  ReadFeatures(info);
  // Sized once for every block the host may send; run() never grows them.
  ResizeScratchBuffers(std::clamp(mHostMaxBlock, kPreallocatedFrames, kMaxScratchFrames));
}

IPlugLV2::~IPlugLV2() = default;

void IPlugLV2::ReadFeatures(const InstanceInfo& info) {
  const auto* map = static_cast<const LV2_URID_Map*>(FindFeature(info.mFeatures, LV2_URID__map));
  if (!map || !map->map) return;  // no state and no options without URIDs
  mUrids.mChunk = map->map(map->handle, LV2_ATOM__Chunk);

  const auto* options = static_cast<const LV2_Options_Option*>(FindFeature(info.mFeatures, LV2_OPTIONS__options));
  const LV2_URID maxBlock = map->map(map->handle, LV2_BUF_SIZE__maxBlockLength);
  const LV2_URID atomInt = map->map(map->handle, LV2_ATOM__Int);
  for (const LV2_Options_Option* o = options; o && o->key != 0; ++o) {
    if (o->key == maxBlock && o->type == atomInt && o->size == sizeof(int32_t) && o->value)
      mHostMaxBlock = std::max(0, *static_cast<const int32_t*>(o->value));
  }
  // The key is named after the plug-in, whose identity the bases already hold.
  mUrids.mStateKey = map->map(map->handle, LV2Catalogue(*this).StateKeyURI().c_str());
}

void IPlugLV2::LayOutPorts(const LV2Component& component) {
  mLayout = std::make_unique<LV2PortLayout>(*this, component);
  mNInputs = std::min(component.mNInputs, mRenderer.MaxMainInputs());
  mNOutputs = std::min(component.mNOutputs, NChannels(kOutput));
  mAudioIn.assign(static_cast<size_t>(mNInputs), nullptr);
  // A block's output buffers; those past the plug-in's ports (several output buses) have none.
  mAudioOut.assign(static_cast<size_t>(std::max(mNOutputs, mRenderer.OutputBuffers(mNOutputs))), nullptr);
  mParamPorts.assign(static_cast<size_t>(NParams()), nullptr);
  mLastParamValues.assign(static_cast<size_t>(NParams()), std::numeric_limits<float>::quiet_NaN());
  mMeterPorts.assign(static_cast<size_t>(NMeters()), nullptr);
}

void IPlugLV2::ConnectPort(uint32_t port, void* data) {
  const LV2PortEntry* entry = mLayout ? mLayout->Port(port) : nullptr;
  if (!entry) return;
  const auto idx = static_cast<size_t>(entry->mIdx);
  // Channels beyond the processor's records have no place to go.
  auto set = [idx](auto& ports, auto* pointer) {
    if (idx < ports.size()) ports[idx] = pointer;
  };
  switch (entry->mRole) {
    case LV2PortRole::kAudioIn: set(mAudioIn, static_cast<const float*>(data)); break;
    case LV2PortRole::kSideChainIn: mSideChainIn = static_cast<const float*>(data); break;
    case LV2PortRole::kAudioOut:
      if (entry->mIdx < mNOutputs) set(mAudioOut, static_cast<float*>(data));
      break;
    case LV2PortRole::kParam: set(mParamPorts, static_cast<const float*>(data)); break;
    case LV2PortRole::kEnabled: mEnabledPort = static_cast<const float*>(data); break;
    case LV2PortRole::kLatency: mLatencyPort = static_cast<float*>(data); break;
    case LV2PortRole::kMeter: set(mMeterPorts, static_cast<float*>(data)); break;
    case LV2PortRole::kEditorZoom: mEditorZoomPort = static_cast<const float*>(data); break;
  }
}

void IPlugLV2::Activate() {
  ApplyControlChanges();
  ResetProcessing();
}

// A control the host moved reaches the plug-in as host automation does: the parameter takes
// the value (constrained to its range and steps), then the product's hook runs.
void IPlugLV2::ApplyControlChanges() {
  for (size_t i = 0; i < mParamPorts.size(); ++i) {
    if (!mParamPorts[i]) continue;
    const float value = *mParamPorts[i];
    const float last = mLastParamValues[i];
    if (std::isnan(value) || (!std::isnan(last) && value == last)) continue;
    mLastParamValues[i] = value;
    mHostParams.SetFromHost(static_cast<int>(i), value, HostParams::Scale::kPlain, HostParams::EditorNotice::kNone);
  }
}

void IPlugLV2::Run(uint32_t nFrames) {
  if (!mLayout) return;
  ApplyControlChanges();
  if (mEditorZoomPort) mEditorZoom.store(*mEditorZoomPort, std::memory_order_relaxed);
  const bool enabled = !mEnabledPort || *mEnabledPort > 0.0f;
  const HostBlock block{mAudioIn.data(), mNInputs, mSideChainIn, mAudioOut.data(), mNOutputs,
                        static_cast<int>(std::min<uint32_t>(nFrames, std::numeric_limits<int>::max()))};
  // Switching out and back in crossfades with the delayed input, as the AAX host's bypass
  // does: a host's switch must not click. A block of 0 frames still runs the plug-in once, so
  // the host learns its latency.
  bool processed = false;
  mRenderer.Render(block, !enabled, [&processed](int /*offset*/, int n) { processed = processed || n > 0; });
  WriteOutputPorts(enabled, processed);
}

void IPlugLV2::WriteOutputPorts(bool enabled, bool processed) {
  if (mLatencyPort) *mLatencyPort = static_cast<float>(GetLatency());
  for (size_t m = 0; m < mMeterPorts.size(); ++m) {
    if (!mMeterPorts[m]) continue;
    // Switched out, nothing is taken away; a block without frames leaves the reading.
    if (!enabled) *mMeterPorts[m] = 0.0f;
    else if (processed) *mMeterPorts[m] = static_cast<float>(GetMeterValue(static_cast<int>(m)));
  }
}

// ---- the object behind a user interface ----

void IPlugLV2::SendParamValueToHost(int paramIdx, double normalizedValue) {
  if (mUIPeer && IsValidParamIdx(paramIdx))
    mUIPeer->WriteParam(paramIdx, static_cast<float>(GetParam(paramIdx)->FromNormalized(normalizedValue)));
}

void IPlugLV2::BeginHostParamGesture(int paramIdx) {
  if (mUIPeer) mUIPeer->TouchParam(paramIdx, true);
}

void IPlugLV2::EndHostParamGesture(int paramIdx) {
  if (mUIPeer) mUIPeer->TouchParam(paramIdx, false);
}

bool IPlugLV2::ResizeEditorWindow(int width, int height) { return mUIPeer && mUIPeer->EditorResized(width, height); }

float IPlugLV2::MinEditorZoom() const {
  return GetEditorWidth() > 0 ? static_cast<float>(GetMinWidth()) / static_cast<float>(GetEditorWidth()) : 1.f;
}

float IPlugLV2::MaxEditorZoom() const {
  return GetEditorWidth() > 0 ? static_cast<float>(GetMaxWidth()) / static_cast<float>(GetEditorWidth()) : 1.f;
}

void IPlugLV2::TakeEditorZoom() {
  const float zoom = mEditorZoom.load(std::memory_order_relaxed);
  if (!(zoom > 0.f) || zoom == mEditorZoomTaken) return;
  mEditorZoomTaken = zoom;
  ShowEditorZoom(zoom);
}

// The editor's size in units stays what the state or the configuration says; the port
// carries its zoom.
void IPlugLV2::ShowEditorZoom(float zoom) {
  if (!(zoom > 0.f)) return;
  ByteChunk geometry;
  geometry.Append(static_cast<int32_t>(GetSavedWidth() != 0 ? GetSavedWidth() : GetEditorWidth()));
  geometry.Append(static_cast<int32_t>(GetSavedHeight() != 0 ? GetSavedHeight() : GetEditorHeight()));
  geometry.Append(zoom);
  ReadEditorGeometry(geometry, 0);
}

}  // namespace iplug
