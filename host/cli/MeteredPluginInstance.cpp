#include "host/cli/MeteredPluginInstance.h"

#include <cstring>

#include "host/cli/ReductionProbe.h"

namespace tbhost {

std::unique_ptr<PluginInstance> MeteredPluginInstance::WithMeters(std::unique_ptr<PluginInstance> plugin,
                                                                  const PluginFactory& linkedIn, std::string& error) {
  ReductionProbe::Meters meters;
  if (!plugin || !linkedIn || ReductionProbe::FindMeters(*plugin, meters)) return plugin;
  std::unique_ptr<PluginInstance> twin = linkedIn(error);
  if (!twin) return nullptr;
  return std::make_unique<MeteredPluginInstance>(std::move(plugin), std::move(twin));
}

MeteredPluginInstance::MeteredPluginInstance(std::unique_ptr<PluginInstance> plugin,
                                             std::unique_ptr<PluginInstance> twin)
: mPlugin(std::move(plugin)), mTwin(std::move(twin)) {}

std::unique_ptr<PluginInstance> MeteredPluginInstance::NewInstance(std::string& error) const {
  std::unique_ptr<PluginInstance> plugin = mPlugin->NewInstance(error);
  if (!plugin) return nullptr;
  std::unique_ptr<PluginInstance> twin = mTwin->NewInstance(error);
  if (!twin) return nullptr;
  return std::make_unique<MeteredPluginInstance>(std::move(plugin), std::move(twin));
}

bool MeteredPluginInstance::Initialise(double sampleRate, int mainChannels, bool sideChain, std::string& error) {
  if (!mPlugin->Initialise(sampleRate, mainChannels, sideChain, error)) return false;
  std::string ignored;
  mAgree = mTwin->Initialise(sampleRate, mainChannels, sideChain, ignored) && mAgree;
  mChannels = mainChannels;
  return true;
}

void MeteredPluginInstance::SetParameter(int index, double value) {
  mPlugin->SetParameter(index, value);
  mTwin->SetParameter(index, value);
}

bool MeteredPluginInstance::LoadState(const PluginState& state, std::string& error) {
  if (!mPlugin->LoadState(state, error)) return false;
  std::string ignored;
  mAgree = mTwin->LoadState(state, ignored) && mAgree;
  return true;
}

void MeteredPluginInstance::ProcessBlock(const float* const* mainInputs, const float* sideChain,
                                         float* const* outputs, int nFrames) {
  mPlugin->ProcessBlock(mainInputs, sideChain, outputs, nFrames);
  if (!mAgree) return;
  float* twinOutputs[2] = {nullptr, nullptr};
  for (int c = 0; c < mChannels; ++c) {
    if (mTwinOut[c].size() < static_cast<size_t>(nFrames)) mTwinOut[c].resize(static_cast<size_t>(nFrames));
    twinOutputs[c] = mTwinOut[c].data();
  }
  mTwin->ProcessBlock(mainInputs, sideChain, twinOutputs, nFrames);
  // Bit for bit: the two are the same code or they are not.
  const size_t bytes = sizeof(float) * static_cast<size_t>(nFrames);
  for (int c = 0; c < mChannels; ++c) mAgree = mAgree && std::memcmp(outputs[c], twinOutputs[c], bytes) == 0;
}

}  // namespace tbhost
