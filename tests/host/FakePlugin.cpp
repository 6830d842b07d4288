#include "host/FakePlugin.h"

#include <cmath>

namespace hosttest {

FakePlugin::FakePlugin() {
  tbhost::ParamInfo latency;
  latency.index = 0;
  latency.name = "Latency";
  latency.settable = true;
  latency.max = 2.0;
  latency.displayTexts = {{0.0, "None"}, {1.0, "64"}, {2.0, "128"}};
  tbhost::ParamInfo key;
  key.index = 1;
  key.name = "Key Gain";
  key.settable = true;
  tbhost::ParamInfo meter;
  meter.index = 2;
  mParams = {latency, key, meter};
}

FakePlugin::FakePlugin(const std::vector<std::string>& knownSettings) : FakePlugin() {
  for (const std::string& setting : knownSettings) {
    tbhost::ParamInfo p;
    p.index = static_cast<int>(mParams.size());
    p.name = setting.substr(0, setting.find('='));
    p.settable = true;
    p.displayTexts = {{0.0, setting.substr(setting.find('=') + 1)}};
    mParams.push_back(p);
  }
}

std::unique_ptr<tbhost::PluginInstance> FakePlugin::NewInstance(std::string& /*error*/) const {
  auto plugin = std::make_unique<FakePlugin>();
  plugin->mParams = mParams;
  return plugin;
}

bool FakePlugin::Initialise(double sampleRate, int mainChannels, bool sideChain, std::string& /*error*/) {
  mChannels = mainChannels;
  mHasKey = sideChain;
  mLog.push_back("init " + std::to_string(static_cast<int>(sampleRate)) + " " + std::to_string(mainChannels) +
                 (sideChain ? " key" : " nokey"));
  return true;
}

void FakePlugin::SetParameter(int index, double value) {
  mLog.push_back("set " + std::to_string(index) + " " + std::to_string(static_cast<int>(value)));
  if (index == 0) {
    mLatency = static_cast<int>(value) * 64;
    for (auto& d : mDelay) d.assign(static_cast<size_t>(mLatency), 0.0f);
    mDelayPos = 0;
  } else if (index == 1) {
    mKeyGain = value;
  }
}

void FakePlugin::ProcessBlock(const float* const* mainInputs, const float* sideChain, float* const* outputs,
                              int nFrames) {
  mLog.push_back("block " + std::to_string(nFrames));
  mBlockSizes.push_back(nFrames);
  mLastBlockPeak = 0.0f;
  for (int i = 0; i < nFrames; ++i) {
    const float key = mHasKey ? sideChain[i] : 0.0f;
    const size_t pos = mDelayPos;
    for (int c = 0; c < mChannels; ++c) {
      float x = mainInputs[c][i];
      if (mLatency > 0) {
        std::vector<float>& d = mDelay[c];
        std::swap(x, d[pos]);
      }
      outputs[c][i] = x + static_cast<float>(mKeyGain) * key;
      mLastBlockPeak = std::fmax(mLastBlockPeak, std::fabs(mainInputs[c][i]));
    }
    if (mLatency > 0) mDelayPos = (mDelayPos + 1) % static_cast<size_t>(mLatency);
  }
  mFramesProcessed += nFrames;
}

std::string FakePlugin::MeterName(int meter) const {
  return meter == 0 ? "Limiter Gain Reduction" : "Compressor Gain Reduction";
}

double FakePlugin::MeterValue(int meter) const { return (meter == 0 ? 2.0 : 1.0) * mLastBlockPeak; }

}  // namespace hosttest
