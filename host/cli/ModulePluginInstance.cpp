#include "host/cli/ModulePluginInstance.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "aax-library/AAX_CString.h"
#include "aax-library/AAX_IACFEffectParameters.h"
#include "aax-library/AAX_Results.h"
#include "host/aax/AlgorithmContext.h"
#include "host/aax/ChunkRecord.h"
#include "host/aax/Instance.h"
#include "host/cli/HostRenderer.h"

namespace tbhost {

namespace {
constexpr float kFirstSampleRate = 48000.0f;
constexpr int kFirstChannels = 2;

std::string ParamID(int index) { return std::to_string(index + 1); }

AAX_EStemFormat StemFormatFor(int channels) {
  return channels == 1 ? AAX_eStemFormat_Mono : AAX_eStemFormat_Stereo;
}
}  // namespace

// One instance of one component with the algorithm context the host renders it with.
struct ModulePluginInstance::Insert {
  Insert(aaxhost::CallLog& log, const aaxhost::EffectDescriptor& effect, const aaxhost::ComponentDescriptor& comp)
      : instance(log, effect), component(comp) {}

  aaxhost::Instance instance;
  const aaxhost::ComponentDescriptor& component;
  // Holds the instance's private data: goes before the instance.
  std::unique_ptr<aaxhost::AlgorithmContext> context;
  int channels = 0;
  float sampleRate = 0.0f;
};

std::unique_ptr<ModulePluginInstance> ModulePluginInstance::Create(const std::string& modulePath,
                                                                  std::vector<ParamInfo> table, std::string& error) {
  std::unique_ptr<ModuleHost> module = ModuleHost::Open(modulePath, error);
  if (!module) return nullptr;
  std::unique_ptr<ModulePluginInstance> plugin(new ModulePluginInstance(std::move(module), std::move(table)));
  plugin->mInsert = plugin->MakeInsert(kFirstChannels, kFirstSampleRate, error);
  if (!plugin->mInsert || !plugin->CheckParameters(error)) return nullptr;
  return plugin;
}

ModulePluginInstance::ModulePluginInstance(std::shared_ptr<ModuleHost> module, std::vector<ParamInfo> table)
    : mModule(std::move(module)), mParams(std::move(table)) {}

std::unique_ptr<PluginInstance> ModulePluginInstance::NewInstance(std::string& error) const {
  std::unique_ptr<ModulePluginInstance> plugin(new ModulePluginInstance(mModule, mParams));
  plugin->mInsert = plugin->MakeInsert(kFirstChannels, kFirstSampleRate, error);
  if (!plugin->mInsert) return nullptr;
  return plugin;
}

// The instance goes before the module that made it.
ModulePluginInstance::~ModulePluginInstance() { mInsert.reset(); }

AAX_IACFEffectParameters& ModulePluginInstance::Effect() const { return *mInsert->instance.Effect(); }
aaxhost::Instance& ModulePluginInstance::HostInstance() const { return mInsert->instance; }

std::unique_ptr<ModulePluginInstance::Insert> ModulePluginInstance::MakeInsert(int channels, float sampleRate,
                                                                               std::string& error) {
  const aaxhost::ComponentDescriptor* component = mModule->ComponentFor(channels);
  if (!component || !component->ProcessProc()) {
    error = mModule->Path() + " has no " + (channels == 1 ? "mono" : "stereo") + " component";
    return nullptr;
  }
  auto insert = std::make_unique<Insert>(mModule->Host().Log(), mModule->Effect(), *component);
  insert->channels = channels;
  insert->sampleRate = sampleRate;
  aaxhost::Controller& controller = insert->instance.GetController();
  controller.SetSampleRate(sampleRate);
  controller.SetStemFormats(StemFormatFor(channels), StemFormatFor(channels));
  controller.SetEffectID(mModule->EffectID());
  if (const AAX_Result result = insert->instance.Create(); result != AAX_SUCCESS) {
    error = mModule->Path() + " made no instance (" + AAX::DescribeResult(result) + ")";
    return nullptr;
  }
  aaxhost::Transport& transport = insert->instance.GetTransport();
  transport.SetSampleRate(sampleRate);
  transport.SetPlaying(true);
  insert->context = std::make_unique<aaxhost::AlgorithmContext>(*component, insert->instance.Effect(),
                                                                transport.View(), channels, channels,
                                                                RenderOptions::kMaxBlockSize);
  return insert;
}

// The host's table must describe the module's parameters: every settable parameter a host
// parameter of the same name.
bool ModulePluginInstance::CheckParameters(std::string& error) const {
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

bool ModulePluginInstance::Initialise(double sampleRate, int mainChannels, bool sideChain, std::string& error) {
  if (mainChannels < 1 || mainChannels > 2) {
    error = "the plug-in is a mono or stereo insert";
    return false;
  }
  if (!(sampleRate > 0.0) || !std::isfinite(sampleRate)) {
    error = "the sample rate must be positive";
    return false;
  }
  // A fresh instance every time, as a host makes one per insert; what the previous one held
  // goes over through the plug-in's chunk.
  SavedChunk state;
  std::string unused;
  const bool haveState = SaveState(state, unused);
  std::unique_ptr<Insert> insert = MakeInsert(mainChannels, static_cast<float>(sampleRate), error);
  if (!insert) return false;
  std::swap(mInsert, insert);
  if (haveState && !LoadState(state, error)) {
    std::swap(mInsert, insert);
    return false;
  }
  mHasKey = sideChain;
  DeliverCoefficients();
  return true;
}

void ModulePluginInstance::DeliverCoefficients() {
  Effect().GenerateCoefficients();
  mInsert->context->DeliverNewestPackets(mInsert->instance.GetController());
}

void ModulePluginInstance::SetParameter(int index, double value) {
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

void ModulePluginInstance::ProcessBlock(const float* const* mainInputs, const float* sideChain, float* const* outputs,
                                        int nFrames) {
  aaxhost::AlgorithmContext& context = *mInsert->context;
  const AAX_CProcessProc render = mInsert->component.ProcessProc();
  const int channels = mInsert->channels;
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
    mInsert->instance.GetTransport().Advance(n);
    done += n;
  }
  // The host's idle timer: what the callback has finished with is freed off the audio path.
  Effect().TimerWakeup();
}

int ModulePluginInstance::Latency() const { return mInsert->instance.GetController().SignalLatency(); }

bool ModulePluginInstance::SaveState(SavedChunk& chunk, std::string& error) {
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
  chunk.chunkID = id;
  chunk.data = record.Data();
  return true;
}

bool ModulePluginInstance::LoadState(const SavedChunk& chunk, std::string& error) {
  AAX_CTypeID id = 0;
  if (Effect().GetChunkIDFromIndex(0, &id) != AAX_SUCCESS) {
    error = "the plug-in takes no state";
    return false;
  }
  if (chunk.chunkID != id) {
    error = "holds a chunk " + FourCharText(chunk.chunkID) + ", not the plug-in's " + FourCharText(id);
    return false;
  }
  aaxhost::ChunkRecord record = aaxhost::ChunkRecord::WithData(id, chunk.data.data(), chunk.data.size());
  if (const AAX_Result result = Effect().SetChunk(id, record.Get()); result != AAX_SUCCESS) {
    error = "does not hold a state the plug-in accepts (" + AAX::DescribeResult(result) + ")";
    return false;
  }
  DeliverCoefficients();
  return true;
}

}  // namespace tbhost
