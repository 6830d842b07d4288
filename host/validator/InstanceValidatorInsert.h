#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/cli/PluginInstance.h"
#include "host/validator/ValidatorInsert.h"

namespace tbvalidate {

// An instance of a plug-in whose host holds the parameter values (an LV2 plug-in's control
// ports), validated through the command-line host's instance interface. The host keeps each
// value, clamps and rounds what it is given to the parameter's range and steps, and shows the
// plug-in's texts for it. The state a session keeps is the host's values (little-endian
// 32-bit floats, in parameter order) followed by the plug-in's own state; a session whose
// values are not all finite is refused before the plug-in sees it, and the values go back to
// the ports only once the plug-in took its state.
//
// The instance is used by one thread at a time: the threads of a host take turns, each call
// made whole under a lock taken outside the audio thread's watch. Threads as ValidatorInsert
// gives them.
class InstanceValidatorInsert final : public ValidatorInsert {
public:
  // `plugin` is fresh; it is initialised here. Null with `error` set.
  static std::unique_ptr<ValidatorInsert> Create(std::unique_ptr<tbhost::PluginInstance> plugin, int channels,
                                                 double sampleRate, int maxBlock, std::string& error);

  int Channels() const override { return mChannels; }
  double SampleRate() const override { return mSampleRate; }
  int MaxBlock() const override { return mMaxBlock; }
  bool HasKey() const override { return mHasKey; }
  void Automate(const std::string& id, double normalized, bool deliver = true) override;
  double Normalized(const std::string& id) const override;
  void SetFromHost(const std::string& id, double normalized) override;
  void EditorGesture(const std::string& id, const double* values, int count) override;
  std::string CurrentText(const HostParam& param) const override;
  std::string Text(const HostParam& param, double normalized) const override;
  bool ValueFromText(const HostParam& param, const std::string& text, double& normalized) const override;
  int ReportedLatency() const override;
  int64_t Position() const override;
  float* Input(int channel) override;
  float* Key() override;
  float* Output(int channel) override;
  AudioThreadUse Render(int n, bool withKey = false) override;
  bool SaveState(std::vector<unsigned char>& out, std::string& error, int32_t prefilled = -1) const override;
  bool LoadState(const std::vector<unsigned char>& bytes, std::string& error, int32_t declared = -1,
                 bool deliver = true) override;

private:
  InstanceValidatorInsert() = default;
  // The parameter of a host id, or -1.
  int Slot(const std::string& id) const;
  // The normalised value as the host keeps it: clamped, on a step; NaN for NaN.
  double Rounded(int slot, double normalized) const;
  double Plain(int slot, double normalized) const;
  void SetLocked(int slot, double normalized);

  std::unique_ptr<tbhost::PluginInstance> mPlugin;
  std::vector<tbhost::ParamInfo> mInfos;  // the settable ones, in the order of mParams
  std::vector<double> mValues;            // normalised, as the host holds them
  std::string mStateFormat;
  int mChannels = 0;
  double mSampleRate = 0.0;
  int mMaxBlock = 0;
  bool mHasKey = false;
  int64_t mPosition = 0;
  std::vector<std::vector<float>> mInputs, mOutputs;
  std::vector<float> mKey;
  mutable std::mutex mTurn;
};

}  // namespace tbvalidate
