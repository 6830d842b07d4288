#pragma once
#include <memory>
#include <string>

#include "host/cli/PluginInstance.h"

namespace tbhost {

// A plug-in of an LV2 bundle, loaded through lilv as Linux hosts load it: the bundle alone is
// read (nothing else installed on the machine), the plug-in whose main audio inputs match the
// insert is instantiated at the file's sample rate, parameters are its input control ports,
// meters its decibel output ports, the latency its latency port, and the state is what its
// state interface stores. Builds without lilv (Windows) load no LV2 bundle.
//
// Until Initialise the instance is a stereo one at 48 kHz, enough for the parameter table and
// for states; Initialise makes the instance the file needs and carries the state over.
class LV2PluginInstance final : public PluginInstance {
public:
  // Main thread. `bundle` is the bundle's directory or a file inside it. Null with `error` set
  // when the bundle cannot be read or holds no plug-in this host can drive.
  static std::unique_ptr<PluginInstance> Create(const std::string& bundle, std::string& error);
  ~LV2PluginInstance() override;

  const std::vector<ParamInfo>& Parameters() const override;
  // Another instance from the bundle this one was read from (read once).
  std::unique_ptr<PluginInstance> NewInstance(std::string& error) const override;
  bool Initialise(double sampleRate, int mainChannels, bool sideChain, std::string& error) override;
  bool HasSideChain() const override;
  // The plain value goes to the control port; the plug-in takes it at its next run.
  void SetParameter(int index, double value) override;
  // Runs the plug-in in pieces no longer than the block length it was told to expect.
  void ProcessBlock(const float* const* mainInputs, const float* sideChain, float* const* outputs,
                    int nFrames) override;
  int Latency() const override;
  int MeterCount() const override;
  std::string MeterName(int meter) const override;
  double MeterValue(int meter) const override;
  // A state of one property, its format naming the property's key and type.
  bool SaveState(PluginState& state, std::string& error) override;
  bool LoadState(const PluginState& state, std::string& error) override;

  struct Bundle;
  struct Insert;

private:
  explicit LV2PluginInstance(std::shared_ptr<Bundle> bundle);

  std::shared_ptr<Bundle> mBundle;  // shared by every instance made from it
  std::unique_ptr<Insert> mInsert;
};

}  // namespace tbhost
