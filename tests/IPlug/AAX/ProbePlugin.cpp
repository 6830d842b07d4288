#include "ProbePlugin.h"

#include <cstdio>

#include "IPlug/FourCharCode.h"

namespace aaxtest {

namespace {
iplug::PluginConfig ProbeConfig(const ProbeOptions& options) {
  iplug::PluginConfig config;
  config.mNParams = ProbePlugin::kNumParams;
  config.mNPresets = 1;
  config.mChannelIOStr = options.channelIO;
  config.mPluginName = "Probe";
  config.mProductName = "Probe";
  config.mMfrName = "Tests";
  config.mVendorVersion = 0x00010000;
  config.mUniqueID = iplug::MakeFourCharCode("Prb1");
  config.mMfrID = iplug::MakeFourCharCode("Test");
  config.mReceivesMIDI = options.receivesMIDI;
  config.mSendsMIDI = options.sendsMIDI;
  config.mStateIsChunk = true;
  config.mHasUI = true;
  config.mEditorWidth = 100;
  config.mEditorHeight = 100;
  return config;
}
}  // namespace

ProbePlugin::ProbePlugin(const ProbeOptions& options) : IPlugAAX(iplug::InstanceInfo{}, ProbeConfig(options)) {
  ++sLive;
  GetParam(0)->InitInt("Gain", 0, 0, 20, "dB");
  GetParam(1)->InitEnum("Mode", 1, 6, "", 0, "", "A", "B", "C", "D", "E");
  GetParam(2)->InitDouble("Drive", 2.5, 0.0, 10.0, 0.01, "dB", 0, "", iplug::IParam::ShapePowCurve(2.0));
  GetParam(3)->InitBool("Switch", false);
  GetParam(4)->InitInt("Fixed", 1, 0, 3, "", iplug::IParam::kFlagNotAutomatable);
  GetParam(5)->InitInt("Off", 0, 0, 1);
  for (int i = 6; i < kNumParams; ++i) {
    if (!options.allKinds && (i == 6 || i == 7)) continue;
    char name[16];
    std::snprintf(name, sizeof name, "P%d", i);
    GetParam(i)->InitInt(name, 5, 0, 10);
  }
}

void ProbePlugin::ProcessAudioBlock(double** inputs, double** outputs, int nFrames) {
  Block block;
  block.nFrames = nFrames;
  for (int c = 0; c < NChannels(iplug::kInput) && c < 4; ++c) {
    block.connected[c] = IsChannelConnected(iplug::kInput, c);
    block.firstSample[c] = nFrames > 0 ? static_cast<float>(inputs[c][0]) : 0.0f;
  }
  block.timeInfo = GetTimeInfo();
  mBlocks.push_back(block);
  for (int c = 0; c < NChannels(iplug::kOutput); ++c) {
    for (int i = 0; i < nFrames; ++i) outputs[c][i] = kGain * inputs[c][i];
  }
  for (const iplug::MidiMessage& msg : mEmitOnProcess) EmitMidi(msg);
  mEmitOnProcess.clear();
}

void ProbePlugin::HandleMidiInput(const iplug::MidiMessage& msg) { mMidiIn.push_back(msg); }

void ProbePlugin::OnParamChange(int paramIdx, iplug::ParamSource source, int sampleOffset) {
  char line[96];
  std::snprintf(line, sizeof line, "change %d %s %g", paramIdx, iplug::ParamSourceName(source),
                GetParam(paramIdx)->Value());
  mLog.push_back(line);
  IPlugAAX::OnParamChange(paramIdx, source, sampleOffset);
}

void ProbePlugin::SendParamValueToEditor(int paramIdx, double value, bool normalized) {
  char line[96];
  std::snprintf(line, sizeof line, "editor %d %g%s", paramIdx, value, normalized ? " norm" : "");
  mLog.push_back(line);
}

}  // namespace aaxtest
