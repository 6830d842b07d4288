#pragma once
#include <string>
#include <vector>

#include "IPlug/IPlugAPIBase.h"

namespace testplug {

inline iplug::PluginConfig TestConfig(int nParams, bool hasUI = true) {
  iplug::PluginConfig config;
  config.mNParams = nParams;
  config.mNPresets = 2;
  config.mChannelIOStr = "2-2";
  config.mPluginName = "Test Plug";
  config.mProductName = "Test Product";
  config.mMfrName = "Test Maker";
  config.mVendorVersion = 0x00010203;
  config.mHasUI = hasUI;
  config.mEditorWidth = 300;
  config.mEditorHeight = 200;
  config.mMinWidth = 600;  // given the wrong way round on purpose
  config.mMaxWidth = 150;
  config.mMinHeight = 100;
  config.mMaxHeight = 400;
  return config;
}

// A host API base that writes down every hook the framework calls, in order.
class RecordingPlugin : public iplug::IPlugAPIBase {
public:
  explicit RecordingPlugin(const iplug::PluginConfig& config) : IPlugAPIBase(config, iplug::kAPIAAX) {
    for (int i = 0; i < NParams(); ++i) GetParam(i)->InitDouble("p", 0.0, 0.0, 100.0, 0.5, "", iplug::IParam::kFlagStepped);
  }

  using IPlugAPIBase::OnParamChange;
  void OnParamChange(int idx) override { Log("change " + std::to_string(idx) + " value " + Num(GetParam(idx)->Value())); }
  void OnParamChange(int idx, iplug::ParamSource source, int offset) override {
    Log(std::string("source ") + iplug::ParamSourceName(source));
    IPlugAPIBase::OnParamChange(idx, source, offset);
  }
  void OnParamChangeInEditor(int idx, iplug::ParamSource source) override {
    Log("editor " + std::to_string(idx) + " " + iplug::ParamSourceName(source));
  }
  void SendParamValueToEditor(int idx, double value, bool normalized) override {
    Log("toEditor " + std::to_string(idx) + " " + Num(value) + (normalized ? " norm" : " plain"));
  }
  void OnMidiInEditor(const iplug::MidiMessage& msg) override { Log("midi " + std::to_string(msg.mStatus)); }
  void OnSysexInEditor(const iplug::SysexMessage& msg) override {
    Log("sysex " + std::to_string(msg.mSize) + " first " + std::to_string(msg.mSize > 0 ? msg.mData[0] : -1));
  }
  bool HandleEditorMessage(int msgTag, int ctrlTag, int dataSize, const void*) override {
    Log("message " + std::to_string(msgTag) + " " + std::to_string(ctrlTag) + " " + std::to_string(dataSize));
    return true;
  }
  void OnPeriodicTick() override { Log("tick"); }
  void OnHostRecognized() override { Log("host recognised"); }
  void BeginHostParamGesture(int idx) override { Log("begin " + std::to_string(idx)); }
  void EndHostParamGesture(int idx) override { Log("end " + std::to_string(idx)); }
  void SendParamValueToHost(int idx, double normalized) override {
    Log("toHost " + std::to_string(idx) + " " + Num(normalized) + " param " + Num(GetParam(idx)->Value()));
  }
  bool ResizeEditorWindow(int w, int h) override {
    Log("resize " + std::to_string(w) + "x" + std::to_string(h));
    return true;
  }

  using IPlugAPIBase::mMidiMsgsFromEditor;
  using IPlugAPIBase::mMidiMsgsFromProcessor;
  using IPlugAPIBase::mParamChangeFromProcessor;
  using IPlugAPIBase::mSysExDataFromEditor;
  using IPlugAPIBase::mSysExDataFromProcessor;
  using IPlugAPIBase::mTimer;

  static std::string Num(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
  }
  void Log(std::string line) { mLog.push_back(std::move(line)); }
  std::vector<std::string> mLog;
};

}  // namespace testplug
