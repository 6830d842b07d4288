#pragma once
#include <string>
#include <vector>

#include "IPlug/AAX/IPlugAAX.h"

namespace aaxtest {

struct ProbeOptions {
  bool receivesMIDI = false;
  bool sendsMIDI = false;
  bool allKinds = false;  // every parameter gets a kind: 15 framework, 16 host parameters
  const char* channelIO = "1-1 1.1-1 1.2-1 1.2-2 2.1-1 2.1-2 2-2 2.2-2";
};

// A plug-in built on the binding like the product, with parameters of every kind and probes
// on every path the binding drives: what the processor saw of each block, resets, MIDI,
// parameter changes and what reached the editor.
//
// Parameters: 0 "Gain" int 0..20 "dB"; 1 "Mode" enum 0..5 with texts "A".."E" for 0..4;
// 2 "Drive" double 0..10 step 0.01 "dB" on a squared curve; 3 "Switch" bool; 4 "Fixed" int
// 0..3, not automatable; 5 "Off" int 0..1; 6 and 7 unnamed without a kind (as the product's
// meter channels), unless allKinds; the rest int 0..10.
class ProbePlugin : public iplug::IPlugAAX {
public:
  static constexpr int kNumParams = 15;

  struct Block {
    int nFrames = 0;
    bool connected[4] = {};
    float firstSample[4] = {};  // first sample each input channel presented
    iplug::TimeInfo timeInfo;
  };

  explicit ProbePlugin(const ProbeOptions& options = {});

  void ProcessAudioBlock(double** inputs, double** outputs, int nFrames) override;
  void ResetProcessing() override { mLog.push_back("reset " + std::to_string(GetBlockSize())); }
  void HandleMidiInput(const iplug::MidiMessage& msg) override;
  using IPlugAAX::OnParamChange;
  void OnParamChange(int paramIdx, iplug::ParamSource source, int sampleOffset) override;
  void SendParamValueToEditor(int paramIdx, double value, bool normalized) override;
  void OnStateRestored() override { mLog.push_back("state restored"); }
  void OnMidiInEditor(const iplug::MidiMessage& msg) override { mLog.push_back("editor midi " + std::to_string(msg.mStatus)); }
  ~ProbePlugin() override { --sLive; }

  // Probes alive in the process: the host's last release must bring this back down.
  static inline int sLive = 0;

  // The probe's output: every input channel summed with a gain of 2, so a pass-through is
  // told apart from processing.
  static constexpr double kGain = 2.0;

  std::vector<Block> mBlocks;
  std::vector<std::string> mLog;
  std::vector<iplug::MidiMessage> mMidiIn;
  std::vector<iplug::MidiMessage> mEmitOnProcess;  // emitted during the next processed block
};

}  // namespace aaxtest
