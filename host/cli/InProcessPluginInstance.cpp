#include "host/cli/InProcessPluginInstance.h"

#include "IPlug/AAX/IPlugAAX.h"
#include "aax-library/AAX_Results.h"
#include "host/aax/ChunkRecord.h"

namespace tbhost {

std::vector<ParamInfo> InProcessPluginInstance::DescribeParameters(const iplug::IPlugAAX& plugin) {
  std::vector<ParamInfo> params;
  for (int i = 0; i < plugin.NParams(); ++i) {
    const iplug::IParam& p = *plugin.GetParam(i);
    ParamInfo info;
    info.index = i;
    info.name = p.GetName();
    // Channels without a kind have no host parameter: they only carry meter values out.
    info.settable = p.Type() != iplug::IParam::kTypeNone;
    info.min = p.GetMin();
    info.max = p.GetMax();
    info.step = p.GetStep();
    info.defaultValue = p.GetDefault();
    for (int t = 0; t < p.NDisplayTexts(); ++t) {
      double value = 0.0;
      const char* text = p.GetDisplayTextAtIdx(t, &value);
      if (text) info.displayTexts.emplace_back(value, text);
    }
    params.push_back(std::move(info));
  }
  return params;
}

std::vector<ParamInfo> InProcessPluginInstance::ProductParameters() {
  std::unique_ptr<iplug::IPlugAAX> plugin(MakePlugInstance(iplug::InstanceInfo{}));
  return plugin ? DescribeParameters(*plugin) : std::vector<ParamInfo>{};
}

std::unique_ptr<InProcessPluginInstance> InProcessPluginInstance::Create(std::string& error) {
  std::unique_ptr<iplug::IPlugAAX> plugin(MakePlugInstance(iplug::InstanceInfo{}));
  if (!plugin) {
    error = "cannot create the plug-in (out of memory)";
    return nullptr;
  }
  return std::make_unique<InProcessPluginInstance>(std::move(plugin));
}

InProcessPluginInstance::InProcessPluginInstance(std::unique_ptr<iplug::IPlugAAX> plugin)
: mPlugin(std::move(plugin)), mParams(DescribeParameters(*mPlugin)), mRenderer(*mPlugin), mHostParams(*mPlugin) {}

InProcessPluginInstance::~InProcessPluginInstance() = default;

bool InProcessPluginInstance::Initialise(double sampleRate, int mainChannels, bool sideChain, std::string& error) {
  if (!CheckInsert(sampleRate, mainChannels, error)) return false;
  mMainChannels = mainChannels;
  mHasKey = sideChain;
  mSamplePosition = 0;
  mPlugin->SetSampleRate(sampleRate);
  mPlugin->ResetProcessing();
  return true;
}

void InProcessPluginInstance::SetParameter(int index, double value) {
  // As a binding answers a host's parameter update: the value arrives normalised, is stored,
  // queued for the editor and handed to the plug-in's hook. A host may name any index; the
  // framework's table holds only its own.
  if (!mPlugin->IsValidParamIdx(index)) return;
  mHostParams.SetFromHost(index, mPlugin->GetParam(index)->ToNormalized(value), iplug::HostParams::Scale::kNormalized,
                          iplug::HostParams::EditorNotice::kQueued);
}

void InProcessPluginInstance::ProcessBlock(const float* const* mainInputs, const float* sideChain,
                                           float* const* outputs, int nFrames) {
  const iplug::HostBlock block{mainInputs, mMainChannels, mHasKey ? sideChain : nullptr, outputs, mMainChannels, nFrames};
  mRenderer.Render(block, false, [this](int offset, int /*nFrames*/) {
    iplug::TimeInfo transport;
    transport.mTransportIsRunning = true;
    transport.mSamplePos = static_cast<double>(mSamplePosition + offset);
    mPlugin->SetTimeInfo(transport);
  });
  mSamplePosition += nFrames;
}

int InProcessPluginInstance::Latency() const { return mPlugin->GetLatency(); }

int InProcessPluginInstance::MeterCount() const { return mPlugin->NMeters(); }

std::string InProcessPluginInstance::MeterName(int meter) const {
  const char* name = meter >= 0 && meter < mPlugin->NMeters() ? mPlugin->GetMeterInfo(meter).mName : nullptr;
  return name ? name : "";
}

double InProcessPluginInstance::MeterValue(int meter) const {
  return meter >= 0 && meter < mPlugin->NMeters() ? mPlugin->GetMeterValue(meter) : 0.0;
}

bool InProcessPluginInstance::SaveState(PluginState& state, std::string& error) {
  AAX_CTypeID id = 0;
  mPlugin->GetChunkIDFromIndex(0, &id);
  aaxhost::ChunkRecord record;
  if (const AAX_Result result = aaxhost::ReadChunk(*mPlugin, id, &record); result != AAX_SUCCESS) {
    error = "the plug-in gave no state (" + AAX::DescribeResult(result) + ")";
    return false;
  }
  state.format = ChunkFormat(id);
  state.bytes = record.Data();
  return true;
}

bool InProcessPluginInstance::LoadState(const PluginState& state, std::string& error) {
  AAX_CTypeID id = 0;
  mPlugin->GetChunkIDFromIndex(0, &id);
  if (state.format != ChunkFormat(id)) {
    uint32_t other = 0;
    error = (ChunkIDOf(state.format, other) ? "holds a chunk " : "holds a state of another format, ") + state.format +
            ", not the plug-in's " + ChunkFormat(id);
    return false;
  }
  const aaxhost::ChunkRecord record = aaxhost::ChunkRecord::WithData(id, state.bytes.data(), state.bytes.size());
  if (const AAX_Result result = mPlugin->SetChunk(id, record.Get()); result != AAX_SUCCESS) {
    error = "does not hold a state the plug-in accepts (" + AAX::DescribeResult(result) + ")";
    return false;
  }
  return true;
}

}  // namespace tbhost
