// A plug-in module for testing the validator: built on the framework like the product, with a
// gain and a switch, and one fault chosen when it is built (TB_PROBE_FAULT):
//   0  none: the validator must pass it
//   1  allocates on the audio thread in every block
//   2  forgets to write its second output channel (the framework then plays silence there)
//   3  takes a lock on the audio thread in every block
//   4  disconnects its second output, so the host's buffer is never written
//   5  none, but no parameters either: its only host parameter is the bypass
#include <cmath>
#include <mutex>
#include <vector>

#include "IPlug/AAX/AAXPluginDescription.h"
#include "IPlug/AAX/IPlugAAX.h"
#include "IPlug/FourCharCode.h"
#include "aax-library/AAX_Types.h"

#ifndef TB_PROBE_FAULT
#define TB_PROBE_FAULT 0
#endif

namespace {

constexpr int kParamGain = 0;
constexpr int kParamMode = 1;
constexpr int kNParams = TB_PROBE_FAULT == 5 ? 0 : 2;

constexpr iplug::PluginConfig kConfig{
    .mNParams = kNParams,
    .mNPresets = 1,
    .mChannelIOStr = "1-1 2-2",
    .mPluginName = "Validator Probe",
    .mProductName = "Validator Probe",
    .mMfrName = "Vantorell",
    .mVendorVersion = 0x00010000,
    .mUniqueID = iplug::MakeFourCharCode("VPrb"),
    .mMfrID = iplug::MakeFourCharCode("Vtor"),
    .mHasUI = false,
};

class ValidatorProbe final : public iplug::IPlugAAX {
public:
  explicit ValidatorProbe(const iplug::InstanceInfo& info) : IPlugAAX(info, kConfig) {
    if (kNParams == 0) return;
    GetParam(kParamGain)->InitInt("Gain", 0, 0, 12, "dB", 0, "");
    GetParam(kParamMode)->InitInt("Mode", 0, 0, 1, "", 0, "");
  }

  // Audio thread: the gain, with the fault the module was built with.
  void ProcessAudioBlock(double** inputs, double** outputs, int nFrames) override {
    const double gain = kNParams == 0 ? 1.0 : std::pow(10.0, GetParam(kParamGain)->Value() / 20.0);
#if TB_PROBE_FAULT == 1
    mHistory = std::vector<double>(inputs[0], inputs[0] + nFrames);  // a fresh buffer every block
#elif TB_PROBE_FAULT == 3
    std::lock_guard lock(mMutex);
#endif
#if TB_PROBE_FAULT == 4
    ConnectChannels(iplug::kOutput, 1, 1, false);
#endif
    for (int c = 0; c < NChannels(iplug::kOutput); ++c) {
#if TB_PROBE_FAULT == 2
      if (c == 1) continue;  // forgets the right channel
#endif
      for (int i = 0; i < nFrames; ++i) outputs[c][i] = gain * inputs[c][i];
    }
  }

private:
  std::vector<double> mHistory;
  std::mutex mMutex;
};

constexpr uint32_t kNativeTypeIDs[] = {AAX_FourCC("VPN1"), AAX_FourCC("VPN2")};
constexpr uint32_t kAudioSuiteTypeIDs[] = {AAX_FourCC("VPA1"), AAX_FourCC("VPA2")};

const iplug::AAXPluginDescription kDescription{
    .mEffectName = kConfig.mPluginName,
    .mBundleID = "com.Vantorell.aax.ValidatorProbe",
    .mMfrName = kConfig.mMfrName,
    .mPackageVersion = static_cast<uint32_t>(kConfig.mVendorVersion),
    .mCategory = AAX_ePlugInCategory_Dynamics,
    .mChannelIOStr = kConfig.mChannelIOStr,
    .mMfrID = static_cast<uint32_t>(kConfig.mMfrID),
    .mProductID = static_cast<uint32_t>(kConfig.mUniqueID),
    .mNativeTypeIDs = kNativeTypeIDs,
    .mAudioSuiteTypeIDs = kAudioSuiteTypeIDs,
    .mMidiNodeName = "Probe Midi",
};

}  // namespace

const iplug::AAXPluginDescription& GetAAXPluginDescription() { return kDescription; }

iplug::IPlugAAX* MakePlugInstance(const iplug::InstanceInfo& info) { return new ValidatorProbe(info); }
