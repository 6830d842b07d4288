#pragma once
#include <memory>
#include <vector>

#include "host/cli/PluginInstance.h"

namespace tbhost {

// A plug-in that does not report its gain reduction (the module: an AAX host sees no meters of
// it) rendered together with a twin that does (the plug-in linked into the host), which gets
// the same settings, states and input. The output is the plug-in's alone. The twin's output is
// compared with it block by block, and its gain reduction is reported only while the two
// render the same samples: a module of another build is never described by the wrong figures.
class MeteredPluginInstance final : public PluginInstance {
public:
  MeteredPluginInstance(std::unique_ptr<PluginInstance> plugin, std::unique_ptr<PluginInstance> twin);

  const std::vector<ParamInfo>& Parameters() const override { return mPlugin->Parameters(); }
  std::unique_ptr<PluginInstance> NewInstance(std::string& error) const override;
  bool Initialise(double sampleRate, int mainChannels, bool sideChain, std::string& error) override;
  void SetParameter(int index, double value) override;
  // Audio thread of the render. Allocates only when a block outgrows every block before it.
  void ProcessBlock(const float* const* mainInputs, const float* sideChain, float* const* outputs,
                    int nFrames) override;
  int Latency() const override { return mPlugin->Latency(); }
  bool LastBlockReduction(SectionReduction& out) const override;
  bool SaveState(SavedChunk& chunk, std::string& error) override { return mPlugin->SaveState(chunk, error); }
  bool LoadState(const SavedChunk& chunk, std::string& error) override;

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
