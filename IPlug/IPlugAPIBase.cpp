#include "IPlug/IPlugAPIBase.h"

#include <cmath>
#include <cstring>

#include "IPlug/Trace.h"
#include "IPlug/TraceTimestamp.h"

namespace iplug {

IPlugAPIBase::IPlugAPIBase(const PluginConfig& config, EAPI plugAPI) : IPluginBase(config, plugAPI) {
  SetEditorSize(config.mEditorWidth, config.mEditorHeight);
  SetSizeConstraints(config.mMinWidth, config.mMaxWidth, config.mMinHeight, config.mMaxHeight);
  CurrentTraceTimestamp(mTimestamp);
}

IPlugAPIBase::~IPlugAPIBase() { StopTimer(); }

// ---- host, versions, build ----

void IPlugAPIBase::SetHost(const char* hostName, int32_t version) {
  mHost = IdentifyHost(hostName);
  mHostVersion = version;
  TextBuffer versionText;
  HostVersionText(versionText);
  TRACE_LOG("iplug::IPlugAPIBase::SetHost", "host_%sknown:%s:%s", mHost == kHostUnknown ? "un" : "",
            hostName ? hostName : "", versionText.Get());
  OnHostRecognized();
}

int32_t IPlugAPIBase::DecimalVersion(int32_t packed) {
  const int32_t major = (packed >> 16) & 0xFFFF;
  const int32_t minor = (packed >> 8) & 0xFF;
  const int32_t patch = packed & 0xFF;
  return major * 10000 + minor * 100 + patch;
}

void IPlugAPIBase::FormatVersion(TextBuffer& out, int32_t packed) {
  out.SetFormatted(32, "v%d.%d.%d", (packed >> 16) & 0xFFFF, (packed >> 8) & 0xFF, packed & 0xFF);
}

int32_t IPlugAPIBase::HostVersionNumber(bool decimal) const {
  return decimal ? DecimalVersion(mHostVersion) : mHostVersion;
}

int32_t IPlugAPIBase::VersionNumber(bool decimal) const { return decimal ? DecimalVersion(mVersion) : mVersion; }

void IPlugAPIBase::HostVersionText(TextBuffer& out) const { FormatVersion(out, mHostVersion); }

void IPlugAPIBase::VersionText(TextBuffer& out) const { FormatVersion(out, mVersion); }

const char* IPlugAPIBase::ApiName(int api) {
  static const char* const kNames[] = {"VST2", "VST3", "AU", "AUv3", "AAX", "APP", "WAM", "WEB", "LV2", "CLAP"};
  return (api >= kAPIVST2 && api <= kAPICLAP) ? kNames[api] : "";
}

const char* IPlugAPIBase::ApiName() const { return ApiName(mAPI); }

const char* IPlugAPIBase::ArchitectureName() {
#if defined(__x86_64__) || defined(_M_X64)
  return "x86-64";
#elif defined(__aarch64__) || defined(_M_ARM64)
  return "arm64";
#else
  return "unknown";
#endif
}

void IPlugAPIBase::DescribeBuild(TextBuffer& out, const char* date, const char* time) const {
  TextBuffer version;
  VersionText(version);
  out.SetFormatted(256, "%s %s (%s), built on %s at %.5s ", version.Get(), ApiName(), ArchitectureName(),
                   date ? date : "", time ? time : "");
}

// ---- timer and queues ----

void IPlugAPIBase::StartTimer() {
  StopTimer();
  mTimer = Timer::MakeTimer([this](Timer&) { ServiceQueues(); }, kTimerIntervalMs);
}

void IPlugAPIBase::StopTimer() {
  if (mTimer) mTimer->Stop();
  mTimer.reset();
}

void IPlugAPIBase::ServiceQueues() {
  if (mHasUI) {
    ApplyRestoredEditorGeometry();
    ParamTuple param;
    while (mParamChangeFromProcessor.Pop(param)) SendParamValueToEditor(param.mIdx, param.mValue, false);

    MidiMessage midi;
    while (mMidiMsgsFromProcessor.Pop(midi)) SendMidiToEditor(midi);

    SysExData record;
    while (mSysExDataFromProcessor.Pop(record)) {
      const SysexMessage msg{record.mOffset, record.mSize, record.mData};
      SendSysexToEditor(msg);
    }
  }
  OnPeriodicTick();
}

void IPlugAPIBase::OnStateRestored() {
  // The restore may run on a host's chunk thread: the editor learns the values on its own
  // thread, from the ring the timer drains, never by a direct call from here.
  for (int i = 0; i < NParams(); ++i) SendParamValueFromProcessor(i, GetParam(i)->Value(), false);
}

void IPlugAPIBase::OnEditorOpened() {
  ParamTuple stale;
  while (mParamChangeFromProcessor.Pop(stale)) {
  }
  IPluginBase::OnEditorOpened();
}

void IPlugAPIBase::SendParamValueFromProcessor(int paramIdx, double value, bool normalized) {
  if (!IsValidParamIdx(paramIdx)) return;
  if (normalized) value = GetParam(paramIdx)->FromNormalized(value);
  mParamChangeFromProcessor.Push(ParamTuple{paramIdx, value});
}

bool IPlugAPIBase::SendMidiFromProcessor(const MidiMessage& msg) { return mMidiMsgsFromProcessor.Push(msg); }

bool IPlugAPIBase::SendSysexFromProcessor(const SysexMessage& msg) {
  SysExData record;
  return MakeSysExRecord(msg, record) && mSysExDataFromProcessor.Push(record);
}

bool IPlugAPIBase::PopMidiFromEditor(MidiMessage& msg) { return mMidiMsgsFromEditor.Pop(msg); }

bool IPlugAPIBase::PopSysexFromEditor(SysExData& record) { return mSysExDataFromEditor.Pop(record); }

bool IPlugAPIBase::MakeSysExRecord(const SysexMessage& msg, SysExData& record) {
  if (msg.mSize < 0 || msg.mSize > SysExData::kMaxBytes || (msg.mSize > 0 && !msg.mData)) {
    TRACE_LOG("iplug::IPlugAPIBase::MakeSysExRecord", "refused %d bytes", msg.mSize);
    return false;
  }
  record.mOffset = msg.mOffset;
  record.mSize = msg.mSize;
  if (msg.mSize > 0) std::memcpy(record.mData, msg.mData, static_cast<size_t>(msg.mSize));
  return true;
}

// ---- state ----

bool IPlugAPIBase::CompareState(const uint8_t* data, int startIdx, int dataSize) const {
  if (NParams() == 0) return true;
  if (!data || startIdx < 0) return false;
  const int64_t needed = (static_cast<int64_t>(startIdx) + NParams()) * static_cast<int64_t>(sizeof(double));
  if (needed > dataSize) return false;
  for (int i = 0; i < NParams(); ++i) {
    double stored;
    std::memcpy(&stored, data + (static_cast<size_t>(startIdx) + static_cast<size_t>(i)) * sizeof(double),
                sizeof stored);
    const float a = static_cast<float>(stored);
    const float b = static_cast<float>(GetParam(i)->Value());
    if (!(std::fabs(a - b) < 1e-5f)) return false;  // a NaN compares unequal
  }
  return true;
}

// ---- editor to plug-in and host ----

void IPlugAPIBase::SendAllParamValuesToHost() {
  for (int i = 0; i < NParams(); ++i) SendParamValueToHost(i, GetParam(i)->GetNormalized());
}

void IPlugAPIBase::BeginParamGestureFromEditor(int paramIdx) {
  if (IsValidParamIdx(paramIdx)) BeginHostParamGesture(paramIdx);
}

void IPlugAPIBase::EndParamGestureFromEditor(int paramIdx) {
  if (IsValidParamIdx(paramIdx)) EndHostParamGesture(paramIdx);
}

void IPlugAPIBase::SetParamFromEditor(int paramIdx, double normalizedValue) {
  if (!IsValidParamIdx(paramIdx)) return;
  IParam* param = GetParam(paramIdx);
  param->SetNormalized(normalizedValue);
  SendParamValueToHost(paramIdx, normalizedValue);
  OnParamChange(paramIdx, ParamSource::kUI, -1);
  // Set again: the host may have answered with its own value while we were telling it.
  param->SetNormalized(normalizedValue);
  OnParamChangeInEditor(paramIdx, ParamSource::kUI);
}

bool IPlugAPIBase::ResizeFromEditor(int width, int height, bool resizeHostWindow) {
  return resizeHostWindow ? ResizeEditorWindow(width, height) : true;
}

void IPlugAPIBase::SendMessageFromEditor(int msgTag, int ctrlTag, int dataSize, const void* pData) {
  HandleEditorMessage(msgTag, ctrlTag, dataSize, pData);
}

void IPlugAPIBase::QueueMidiFromEditor(const MidiMessage& msg) { mMidiMsgsFromEditor.Push(msg); }

void IPlugAPIBase::QueueSysexFromEditor(const SysexMessage& msg) {
  SysExData record;
  if (MakeSysExRecord(msg, record)) mSysExDataFromEditor.Push(record);
}

}  // namespace iplug
