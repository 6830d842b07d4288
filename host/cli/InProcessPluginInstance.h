#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "IPlug/HostBlockRenderer.h"
#include "IPlug/HostParams.h"
#include "host/cli/PluginInstance.h"

namespace iplug {
class IPlugAAX;
}

namespace tbhost {

// The plug-in linked into the host: the product's factory makes the instance, and each render
// call is a host block rendered by the framework's block renderer, as every binding renders
// one, with a running transport at the block's position.
class InProcessPluginInstance final : public PluginInstance {
public:
  // Main thread. Null with `error` set when the factory fails.
  static std::unique_ptr<InProcessPluginInstance> Create(std::string& error);
  // Main thread. The parameter table of a plug-in object, and that of the product linked in.
  static std::vector<ParamInfo> DescribeParameters(const iplug::IPlugAAX& plugin);
  static std::vector<ParamInfo> ProductParameters();

  explicit InProcessPluginInstance(std::unique_ptr<iplug::IPlugAAX> plugin);
  ~InProcessPluginInstance() override;

  const std::vector<ParamInfo>& Parameters() const override { return mParams; }
  std::unique_ptr<PluginInstance> NewInstance(std::string& error) const override { return Create(error); }
  bool Initialise(double sampleRate, int mainChannels, bool sideChain, std::string& error) override;
  void SetParameter(int index, double value) override;
  // Allocates nothing.
  void ProcessBlock(const float* const* mainInputs, const float* sideChain, float* const* outputs,
                    int nFrames) override;
  int Latency() const override;
  // The framework's meters, as every binding reports them to its host.
  int MeterCount() const override;
  std::string MeterName(int meter) const override;
  double MeterValue(int meter) const override;
  // Through the binding's chunk operations, as a host would call them.
  bool SaveState(PluginState& state, std::string& error) override;
  bool LoadState(const PluginState& state, std::string& error) override;

  iplug::IPlugAAX& Plugin() { return *mPlugin; }

private:
  std::unique_ptr<iplug::IPlugAAX> mPlugin;
  std::vector<ParamInfo> mParams;
  iplug::HostBlockRenderer mRenderer;
  iplug::HostParams mHostParams;
  int mMainChannels = 2;
  bool mHasKey = false;
  int64_t mSamplePosition = 0;
};

}  // namespace tbhost
