#pragma once
#include <memory>
#include <vector>

#include "host/cli/PluginInstance.h"

namespace tbhost {

// A plug-in that reports no gain reduction meters (the AAX module, whose description registers
// no meters) rendered together with a twin that does (the plug-in linked into the host), which
// gets the same settings, states and input. The output is the plug-in's alone. The twin's
// output is compared with it block by block, and its meters are reported only while the two
// render the same samples: a module of another build is never described by the wrong figures.
class MeteredPluginInstance final : public PluginInstance {
public:
  // The owning thread. `plugin` itself when it reports gain reduction meters or there is no
  // twin to make; else `plugin` with a twin from `linkedIn`. Null with `error` set.
  static std::unique_ptr<PluginInstance> WithMeters(std::unique_ptr<PluginInstance> plugin,
                                                    const PluginFactory& linkedIn, std::string& error);

  MeteredPluginInstance(std::unique_ptr<PluginInstance> plugin, std::unique_ptr<PluginInstance> twin);

  const std::vector<ParamInfo>& Parameters() const override { return mPlugin->Parameters(); }
  std::unique_ptr<PluginInstance> NewInstance(std::string& error) const override;
  bool Initialise(double sampleRate, int mainChannels, bool sideChain, std::string& error) override;
  void SetParameter(int index, double value) override;
  // Allocates only when a block outgrows every block before it.
  void ProcessBlock(const float* const* mainInputs, const float* sideChain, float* const* outputs,
                    int nFrames) override;
  int Latency() const override { return mPlugin->Latency(); }
  // The twin's meters while it agrees with the plug-in; none once it has not.
  int MeterCount() const override { return mAgree ? mTwin->MeterCount() : 0; }
  std::string MeterName(int meter) const override { return mTwin->MeterName(meter); }
  double MeterValue(int meter) const override { return mAgree ? mTwin->MeterValue(meter) : 0.0; }
  bool SaveState(PluginState& state, std::string& error) override { return mPlugin->SaveState(state, error); }
  bool LoadState(const PluginState& state, std::string& error) override;

  // False once the twin rendered a sample that the plug-in did not.
  bool TwinAgrees() const { return mAgree; }

private:
  std::unique_ptr<PluginInstance> mPlugin;
  std::unique_ptr<PluginInstance> mTwin;
  int mChannels = 0;
  std::vector<float> mTwinOut[2];
  bool mAgree = true;
};

}  // namespace tbhost
