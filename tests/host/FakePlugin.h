#pragma once
#include <string>
#include <vector>

#include "host/cli/PluginInstance.h"

namespace hosttest {

// A stand-in plug-in that makes the host's side of a render visible: it records every call,
// delays the main input by its latency and adds the key input scaled by "Key Gain", so a test
// can see where each input landed and when each setting arrived.
//   0 "Latency"   0..2, texts "None" "64" "128" (0, 64 or 128 samples)
//   1 "Key Gain"  0..1, no texts
//   2 meter channel
class FakePlugin final : public tbhost::PluginInstance {
public:
  FakePlugin();
  // Adds a parameter without effect for each "NAME=VALUE" setting, VALUE its only display
  // text, so that commands with built-in settings can run against the stand-in.
  explicit FakePlugin(const std::vector<std::string>& knownSettings);

  const std::vector<tbhost::ParamInfo>& Parameters() const override { return mParams; }
  // A fresh stand-in with the same parameter table.
  std::unique_ptr<tbhost::PluginInstance> NewInstance(std::string& error) const override;
  bool Initialise(double sampleRate, int mainChannels, bool sideChain, std::string& error) override;
  bool HasSideChain() const override { return mHasKey; }
  void SetParameter(int index, double value) override;
  void ProcessBlock(const float* const* mainInputs, const float* sideChain, float* const* outputs,
                    int nFrames) override;
  int Latency() const override { return mLatency; }
  // Two meters, "Limiter Gain Reduction" and "Compressor Gain Reduction": the block's input
  // peak, doubled for the limiter, so that statistics can be checked by hand.
  int MeterCount() const override { return 2; }
  std::string MeterName(int meter) const override;
  double MeterValue(int meter) const override;

  // Leaves the stand-in without parameters, as a plug-in that offers none.
  void DropParameters() { mParams.clear(); }

  std::vector<std::string> mLog;   // "init 44100 2 key", "set 0 1", "block 512"
  std::vector<int> mBlockSizes;
  int64_t mFramesProcessed = 0;

private:
  std::vector<tbhost::ParamInfo> mParams;
  int mChannels = 0;
  int mLatency = 0;
  double mKeyGain = 0.0;
  bool mHasKey = false;
  std::vector<float> mDelay[2];
  size_t mDelayPos = 0;
  float mLastBlockPeak = 0.0f;
};

}  // namespace hosttest
