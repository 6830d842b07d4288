#include "IPlug/AAX/IPlugAAX.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "IPlug/AAX/AAXBypassParameter.h"
#include "IPlug/AAX/AAX_CIPlugTaperDelegate.h"
#include "IPlug/Trace.h"
#include "aax-library/AAX_CBinaryDisplayDelegate.h"
#include "aax-library/AAX_CBinaryTaperDelegate.h"
#include "aax-library/AAX_CLinearTaperDelegate.h"
#include "aax-library/AAX_CNumberDisplayDelegate.h"
#include "aax-library/AAX_CString.h"
#include "aax-library/AAX_CStringDisplayDelegate.h"
#include "aax-library/AAX_CUnitDisplayDelegateDecorator.h"
#include "aax-library/AAX_Errors.h"

namespace iplug {

namespace {
constexpr int kSteps = 128;

// A discrete host parameter over the framework parameter's display texts: one step per
// text, and each value shows its text (the first text wins for a value listed twice).
AAX_IParameter* MakeTextParameter(const IParam& param, const char* id) {
  std::map<int32_t, AAX_CString> texts;
  for (int j = 0; j < param.NDisplayTexts(); ++j) {
    double value = 0.0;
    const char* text = param.GetDisplayTextAtIdx(j, &value);
    if (text) texts.emplace(static_cast<int32_t>(value), AAX_CString(text));
  }
  auto* parameter = new AAX_CParameter<int32_t>(
      id, AAX_CString(param.GetName()), static_cast<int32_t>(param.GetDefault()),
      AAX_CLinearTaperDelegate<int32_t, 1>(static_cast<int32_t>(param.GetMin()), static_cast<int32_t>(param.GetMax())),
      AAX_CStringDisplayDelegate<int32_t>(texts), param.GetCanAutomate());
  parameter->SetNumberOfSteps(static_cast<uint32_t>(HostParams::StepCount(param)));
  parameter->SetType(AAX_eParameterType_Discrete);
  return parameter;
}

AAX_IParameter* MakeIntParameter(const IParam& param, const char* id) {
  auto* parameter = new AAX_CParameter<int32_t>(
      id, AAX_CString(param.GetName()), static_cast<int32_t>(param.GetDefault()),
      AAX_CLinearTaperDelegate<int32_t, 1>(static_cast<int32_t>(param.GetMin()), static_cast<int32_t>(param.GetMax())),
      AAX_CUnitDisplayDelegateDecorator<int32_t>(AAX_CNumberDisplayDelegate<int32_t, 0>(), AAX_CString(param.GetLabel())),
      param.GetCanAutomate());
  parameter->SetNumberOfSteps(kSteps);
  parameter->SetType(AAX_eParameterType_Continuous);
  return parameter;
}

AAX_IParameter* MakeDoubleParameter(const IParam& param, const char* id) {
  auto* parameter = new AAX_CParameter<double>(
      id, AAX_CString(param.GetName()), param.GetDefault(), AAX_CIPlugTaperDelegate(param),
      AAX_CUnitDisplayDelegateDecorator<double>(AAX_CNumberDisplayDelegate<double, 2>(), AAX_CString(param.GetLabel())),
      param.GetCanAutomate());
  parameter->SetNumberOfSteps(kSteps);
  parameter->SetType(AAX_eParameterType_Continuous);
  return parameter;
}
}  // namespace

IPlugAAX::IPlugAAX(const InstanceInfo& /*info*/, const PluginConfig& config)
    : IPlugAPIBase(config, kAPIAAX), IPlugProcessor(config), AAX_CIPlugParameters() {
  TRACE_LOG("iplug::IPlugAAX::IPlugAAX", "%s:%s", config.mPluginName, config.mChannelIOStr);
  ConnectChannels(kInput, 0, NChannels(kInput), true);
  ConnectChannels(kOutput, 0, NChannels(kOutput), true);
  if (NChannels(kInput) > 0) CreateBypassDelayLine();
  ResizeScratchBuffers(kInitialBlockSize);
  StartTimer();
}

// The timer stops before anything else goes: a tick must not reach a half-destroyed object.
IPlugAAX::~IPlugAAX() { StopTimer(); }

// ---- host parameters --------------------------------------------------------------------------

AAX_Result IPlugAAX::EffectInit() {
  if (GetHost() == kHostUninit) SetHost("ProTools", 0);
  CreateHostParameters();

  AAX_CSampleRate sampleRate = 0.0f;
  AAX_IController* controller = Controller();
  // A host that cannot say, or says nonsense, leaves the rate the processor already has.
  if (controller && controller->GetSampleRate(&sampleRate) == AAX_SUCCESS && std::isfinite(sampleRate) &&
      sampleRate > 0.0f) {
    SetSampleRate(static_cast<double>(sampleRate));
  }
  int nIn = 0, nOut = 0;
  if (ReadStemFormats(nIn, nOut)) {
    mKnownInputChannels = nIn;
    mKnownOutputChannels = nOut;
    mStemFormatsKnown = true;
  }
  ResetProcessing();
  return AAX_SUCCESS;
}

void IPlugAAX::CreateHostParameters() {
  AAX_CString bypassID;
  GetMasterBypassParameter(&bypassID);
  auto* bypass = new AAXBypassParameter(bypassID.Get(), mHostBypassed);
  if (!mParameterManager.AddParameter(bypass)) delete bypass;

  mParamIDs.clear();
  for (int i = 0; i < NParams(); ++i) {
    char id[HostParams::kMaxIDTextLength];
    HostParams::HostIDText(i, id);
    mParamIDs.emplace_back(id);
    AAX_IParameter* parameter = MakeHostParameter(*GetParam(i), id);
    if (parameter && !mParameterManager.AddParameter(parameter)) delete parameter;
  }
}

AAX_IParameter* IPlugAAX::MakeHostParameter(const IParam& param, const char* id) const {
  switch (HostParams::ShapeOf(param)) {
    case HostParams::Shape::kSwitch:
    case HostParams::Shape::kList:
      return MakeTextParameter(param, id);
    case HostParams::Shape::kInteger:
      return MakeIntParameter(param, id);
    case HostParams::Shape::kContinuous:
      return MakeDoubleParameter(param, id);
    case HostParams::Shape::kHidden:
      break;
  }
  return nullptr;  // no host parameter; the identifier stays taken
}

AAX_Result IPlugAAX::Uninitialize() {
  const AAX_Result result = AAX_CIPlugParameters::Uninitialize();  // deletes the host parameters
  mHostBypassed.store(false, std::memory_order_release);
  return result;
}

const char* IPlugAAX::ParamID(int paramIdx) const {
  if (paramIdx < 0 || paramIdx >= static_cast<int>(mParamIDs.size())) return nullptr;
  return mParamIDs[static_cast<size_t>(paramIdx)].c_str();
}

AAX_Result IPlugAAX::UpdateParameterNormalizedValue(AAX_CParamID id, double value, AAX_EUpdateSource /*source*/) {
  AAX_IParameter* parameter = FindParameter(id);
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  if (std::isnan(value)) return AAX_ERROR_INVALID_ARGUMENT;
  value = std::clamp(value, 0.0, 1.0);
  parameter->UpdateNormalizedValue(value);

  mHostParams.SetFromHost(mHostParams.ParamIndexFromID(id), value, HostParams::Scale::kNormalized,
                          HostParams::EditorNotice::kQueued);
  const AAX_Result result = mPacketDispatcher.SetDirty(id);
  ++mNumPlugInChanges;
  return result;
}

// ---- notifications ----------------------------------------------------------------------------

AAX_Result IPlugAAX::NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size) {
  switch (type) {
    case AAX_eNotificationEvent_EnteringOfflineMode:
      SetRenderingOffline(true);
      break;
    case AAX_eNotificationEvent_ExitingOfflineMode:
      SetRenderingOffline(false);
      break;
    case AAX_eNotificationEvent_TrackNameChanged:
      if (data) {
        const auto* name = static_cast<const AAX_IString*>(data);
        std::lock_guard lock(mTrackNameMutex);
        mTrackName.Set(name->Get());
      }
      break;
    default:
      break;
  }
  return AAX_CIPlugParameters::NotificationReceived(type, data, size);
}

void IPlugAAX::CopyTrackName(TextBuffer& out) {
  std::lock_guard lock(mTrackNameMutex);
  out.Set(mTrackName.Get());
}

// ---- editor to host ---------------------------------------------------------------------------

void IPlugAAX::BeginHostParamGesture(int paramIdx) {
  if (const char* id = ParamID(paramIdx)) TouchParameter(id);
}

void IPlugAAX::SendParamValueToHost(int paramIdx, double normalizedValue) {
  if (const char* id = ParamID(paramIdx)) SetParameterNormalizedValue(id, normalizedValue);
}

void IPlugAAX::EndHostParamGesture(int paramIdx) {
  if (const char* id = ParamID(paramIdx)) ReleaseParameter(id);
}

// ---- processor --------------------------------------------------------------------------------

bool IPlugAAX::EmitMidi(const MidiMessage& msg) { return mMidiOutput.Add(msg); }

void IPlugAAX::UpdateLatency(int samples) {
  if (AAX_IController* controller = Controller()) controller->SetSignalLatency(samples);
  IPlugProcessor::UpdateLatency(samples);
}

}  // namespace iplug
