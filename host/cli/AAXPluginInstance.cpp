#include "host/cli/AAXPluginInstance.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "aax-library/AAX_CString.h"
#include "aax-library/AAX_IACFEffectParameters.h"
#include "aax-library/AAX_Results.h"
#include "host/aax/AlgorithmContext.h"
#include "host/aax/ChunkRecord.h"
#include "host/aax/Instance.h"
#include "host/cli/AAXInsert.h"
#include "host/cli/HostRenderer.h"

namespace tbhost {

namespace {
constexpr float kFirstSampleRate = 48000.0f;
constexpr int kFirstChannels = 2;

std::string ParamID(int index) { return std::to_string(index + 1); }
}  // namespace

std::unique_ptr<AAXPluginInstance> AAXPluginInstance::Create(const std::string& modulePath,
                                                                  std::vector<ParamInfo> table, std::string& error) {
  std::unique_ptr<AAXModule> module = AAXModule::Open(modulePath, error);
  if (!module) return nullptr;
  std::unique_ptr<AAXPluginInstance> plugin(new AAXPluginInstance(std::move(module), std::move(table)));
  plugin->mInsert = plugin->MakeInsert(kFirstChannels, kFirstSampleRate, error);
  if (!plugin->mInsert || !plugin->CheckParameters(error)) return nullptr;
  return plugin;
}

AAXPluginInstance::AAXPluginInstance(std::shared_ptr<AAXModule> module, std::vector<ParamInfo> table)
    : mModule(std::move(module)), mParams(std::move(table)) {}

std::unique_ptr<PluginInstance> AAXPluginInstance::NewInstance(std::string& error) const {
  std::unique_ptr<AAXPluginInstance> plugin(new AAXPluginInstance(mModule, mParams));
  plugin->mInsert = plugin->MakeInsert(kFirstChannels, kFirstSampleRate, error);
  if (!plugin->mInsert) return nullptr;
  return plugin;
}

// The instance goes before the module that made it.
AAXPluginInstance::~AAXPluginInstance() { mInsert.reset(); }

AAX_IACFEffectParameters& AAXPluginInstance::Effect() const { return mInsert->Effect(); }
aaxhost::Instance& AAXPluginInstance::HostInstance() const { return mInsert->Instance(); }

std::unique_ptr<AAXInsert> AAXPluginInstance::MakeInsert(int channels, float sampleRate, std::string& error) {
  std::unique_ptr<AAXInsert> insert =
      AAXInsert::Create(*mModule, channels, sampleRate, RenderOptions::kMaxBlockSize, error);
  if (!insert) {
    error = mModule->Path() + " " + error;
    return nullptr;
  }
  mMeters = insert->Component().FindFieldOfKind(aaxhost::FieldKind::Meters);
  return insert;
}

// The host's table must describe the module's parameters: every settable parameter a host
// parameter of the same name.
bool AAXPluginInstance::CheckParameters(std::string& error) const {
  for (const ParamInfo& param : mParams) {
    if (!param.settable) continue;
    AAX_CString name;
    if (Effect().GetParameterName(ParamID(param.index).c_str(), &name) != AAX_SUCCESS ||
        name.StdString() != param.name) {
      error = mModule->Path() + " is not the plug-in this host knows: its parameter " + ParamID(param.index) +
              " is \"" + name.StdString() + "\", not \"" + param.name + "\"";
      return false;
    }
  }
  return true;
}

bool AAXPluginInstance::Initialise(double sampleRate, int mainChannels, bool sideChain, std::string& error) {
  if (!CheckInsert(sampleRate, mainChannels, error)) return false;
  // A fresh instance every time, as a host makes one per insert; what the previous one held
  // goes over through the plug-in's chunk.
  PluginState state;
  std::string unused;
  const bool haveState = SaveState(state, unused);
  const aaxhost::FieldRegistration* meters = mMeters;
  std::unique_ptr<AAXInsert> insert = MakeInsert(mainChannels, static_cast<float>(sampleRate), error);
  if (!insert) {
    mMeters = meters;
    return false;
  }
  std::swap(mInsert, insert);
  if (haveState && !LoadState(state, error)) {
    std::swap(mInsert, insert);
    mMeters = meters;
    return false;
  }
  mHasKey = sideChain;
  DeliverCoefficients();
  return true;
}

void AAXPluginInstance::DeliverCoefficients() { mInsert->DeliverCoefficients(); }

void AAXPluginInstance::SetParameter(int index, double value) {
  const auto param = std::find_if(mParams.begin(), mParams.end(), [&](const ParamInfo& p) { return p.index == index; });
  if (param == mParams.end() || !param->settable) return;
  const std::string id = ParamID(index);
  // The plug-in turns the plain value into its normalised one; a value its display cannot
  // read goes by the range instead.
  double normalized = 0.0;
  if (Effect().GetParameterValueFromString(id.c_str(), &normalized, AAX_CString(FormatParamNumber(value))) !=
      AAX_SUCCESS) {
    normalized = param->max > param->min ? (value - param->min) / (param->max - param->min) : 0.0;
  }
  Effect().TouchParameter(id.c_str());
  Effect().SetParameterNormalizedValue(id.c_str(), std::clamp(normalized, 0.0, 1.0));
  Effect().ReleaseParameter(id.c_str());
  DeliverCoefficients();
}

void AAXPluginInstance::ProcessBlock(const float* const* mainInputs, const float* sideChain, float* const* outputs,
                                        int nFrames) {
  aaxhost::AlgorithmContext& context = mInsert->Context();
  const AAX_CProcessProc render = mInsert->Component().ProcessProc();
  const int channels = mInsert->Channels();
  for (int done = 0; done < nFrames;) {
    const int n = std::min(nFrames - done, context.MaxBlockSize());
    const size_t bytes = sizeof(float) * static_cast<size_t>(n);
    for (int c = 0; c < channels; ++c) std::memcpy(context.Input(c), mainInputs[c] + done, bytes);
    if (mHasKey && sideChain && context.HasSideChain()) {
      std::memcpy(context.Input(context.SideChainBuffer()), sideChain + done, bytes);
      context.SetSideChainIndex(context.SideChainBuffer());
    } else {
      context.SetSideChainIndex(0);
    }
    context.SetBlockLength(n);
    context.Render(render);
    for (int c = 0; c < channels; ++c) std::memcpy(outputs[c] + done, context.Output(c), bytes);
    mInsert->Instance().GetTransport().Advance(n);
    done += n;
  }
  // The host's idle timer: what the callback has finished with is freed off the audio path.
  Effect().TimerWakeup();
}

int AAXPluginInstance::Latency() const { return mInsert->Instance().GetController().SignalLatency(); }

int AAXPluginInstance::MeterCount() const {
  return mMeters ? static_cast<int>(mMeters->meterIDs.size()) : 0;
}

std::string AAXPluginInstance::MeterName(int meter) const {
  if (meter < 0 || meter >= MeterCount()) return {};
  const AAX_CTypeID id = mMeters->meterIDs[static_cast<size_t>(meter)];
  const std::string name = mModule->Effect().MeterName(id);
  return name.empty() ? FourCharText(id) : name;
}

// The callback leaves each meter's reading of the block in its slot of the meter field.
double AAXPluginInstance::MeterValue(int meter) const {
  if (meter < 0 || meter >= MeterCount()) return 0.0;
  const float* values = mInsert->Context().Meters(mMeters->index);
  return values ? static_cast<double>(values[meter]) : 0.0;
}

bool AAXPluginInstance::SaveState(PluginState& state, std::string& error) {
  AAX_CTypeID id = 0;
  aaxhost::ChunkRecord record;
  if (Effect().GetChunkIDFromIndex(0, &id) != AAX_SUCCESS) {
    error = "the plug-in offers no state";
    return false;
  }
  if (const AAX_Result result = aaxhost::ReadChunk(Effect(), id, &record); result != AAX_SUCCESS) {
    error = "the plug-in gave no state (" + AAX::DescribeResult(result) + ")";
    return false;
  }
  state.format = ChunkFormat(id);
  state.bytes = record.Data();
  return true;
}

bool AAXPluginInstance::LoadState(const PluginState& state, std::string& error) {
  AAX_CTypeID id = 0;
  if (Effect().GetChunkIDFromIndex(0, &id) != AAX_SUCCESS) {
    error = "the plug-in takes no state";
    return false;
  }
  if (state.format != ChunkFormat(id)) {
    uint32_t other = 0;
    error = (ChunkIDOf(state.format, other) ? "holds a chunk " : "holds a state of another format, ") + state.format +
            ", not the plug-in's " + ChunkFormat(id);
    return false;
  }
  aaxhost::ChunkRecord record = aaxhost::ChunkRecord::WithData(id, state.bytes.data(), state.bytes.size());
  if (const AAX_Result result = Effect().SetChunk(id, record.Get()); result != AAX_SUCCESS) {
    error = "does not hold a state the plug-in accepts (" + AAX::DescribeResult(result) + ")";
    return false;
  }
  DeliverCoefficients();
  return true;
}

}  // namespace tbhost
