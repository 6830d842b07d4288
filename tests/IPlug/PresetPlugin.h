#pragma once
#include <string>
#include <vector>

#include "IPlug/FourCharCode.h"
#include "IPlug/IPlugAPIBase.h"
#include "RecordingPlugin.h"

namespace testplug {

// A plug-in with the three kinds of parameter that preset calls type differently (bool, int,
// double), then plain doubles, that counts the preset hooks it receives.
class PresetPlugin : public iplug::IPlugAPIBase {
public:
  static constexpr int32_t kID = iplug::MakeFourCharCode("PrSt");

  explicit PresetPlugin(int nPresets, bool stateChunks = true, int nParams = 3)
      : IPlugAPIBase(Config(nPresets, stateChunks, nParams), iplug::kAPIAAX) {
    GetParam(0)->InitBool("Switch", false);
    GetParam(1)->InitInt("Steps", 2, 0, 10);
    GetParam(2)->InitDouble("Amount", 0.5, 0.0, 1.0, 0.25, "", iplug::IParam::kFlagStepped);
    for (int i = 3; i < NParams(); ++i) GetParam(i)->InitDouble("More", 0.0, -100.0, 100.0, 0.5);
  }

  void OnPresetFileLoaded() override { ++mFilesLoaded; }
  void OnStateRestored() override { ++mStatesRestored; }

  void Set(double a, double b, double c) {
    GetParam(0)->Set(a);
    GetParam(1)->Set(b);
    GetParam(2)->Set(c);
  }
  std::vector<double> Values() const {
    std::vector<double> v;
    for (int i = 0; i < NParams(); ++i) v.push_back(GetParam(i)->Value());
    return v;
  }
  // Everything a refused file must leave alone.
  std::string Everything() const {
    std::string all = std::to_string(GetCurrentPresetIdx());
    for (double v : Values()) all += " " + std::to_string(v);
    for (int s = 0; s < NPresets(); ++s) {
      const iplug::ByteChunk& data = *PresetData(s);
      all += std::string(" [") + PresetName(s) + (IsPresetInitialized(s) ? " init " : " free ") +
             std::string(reinterpret_cast<const char*>(data.Data()), static_cast<size_t>(data.Size())) + "]";
    }
    return all;
  }

  using IPlugAPIBase::mStateChunks;
  int mFilesLoaded = 0;
  int mStatesRestored = 0;

private:
  static iplug::PluginConfig Config(int nPresets, bool stateChunks, int nParams) {
    iplug::PluginConfig config = TestConfig(nParams);
    config.mNPresets = nPresets;
    config.mStateIsChunk = stateChunks;
    config.mUniqueID = kID;
    return config;
  }
};

}  // namespace testplug
