#include "host/validator/ValidatorInsert.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "aax-library/AAX_CString.h"
#include "aax-library/AAX_IACFEffectGUI.h"
#include "aax-library/AAX_IACFEffectParameters.h"
#include "aax-library/AAX_Results.h"
#include "host/aax/AlgorithmContext.h"
#include "host/aax/CallLog.h"
#include "host/aax/ChunkRecord.h"
#include "host/aax/Instance.h"
#include "host/aax/ViewContainer.h"
#include "host/cli/ModuleHost.h"
#include "host/validator/HostWindow.h"
#include "host/validator/OutputCheck.h"

namespace tbvalidate {
namespace {

// The recording host keeps every call; a validation makes hundreds of thousands.
constexpr size_t kMaxLoggedCalls = 4096;

AAX_EStemFormat StemFormatFor(int channels) {
  return channels == 1 ? AAX_eStemFormat_Mono : AAX_eStemFormat_Stereo;
}

#if defined(_WIN32)
constexpr int32_t kViewType = AAX_eViewContainer_Type_HWND;
#else
constexpr int32_t kViewType = AAX_eViewContainer_Type_NULL;
#endif

}  // namespace

std::unique_ptr<ValidatorInsert> ValidatorInsert::Create(tbhost::ModuleHost& module, int channels, double sampleRate,
                                                         int maxBlock, std::string& error) {
  std::unique_ptr<ValidatorInsert> insert(new ValidatorInsert());
  insert->mModule = &module;
  insert->mChannels = channels;
  insert->mSampleRate = sampleRate;
  insert->mComponent = module.ComponentFor(channels);
  if (!insert->mComponent || !insert->mComponent->ProcessProc()) {
    error = std::string("the module has no ") + (channels == 1 ? "mono" : "stereo") + " component";
    return nullptr;
  }
  insert->mInstance = std::make_unique<aaxhost::Instance>(module.Host().Log(), module.Effect());
  aaxhost::Controller& controller = insert->mInstance->GetController();
  controller.SetSampleRate(static_cast<float>(sampleRate));
  controller.SetStemFormats(StemFormatFor(channels), StemFormatFor(channels));
  controller.SetEffectID(module.EffectID());
  if (const AAX_Result result = insert->mInstance->Create(); result != AAX_SUCCESS) {
    error = "the module made no instance (" + AAX::DescribeResult(result) + ")";
    return nullptr;
  }
  aaxhost::Transport& transport = insert->mInstance->GetTransport();
  transport.SetSampleRate(sampleRate);
  transport.SetPlaying(true);
  insert->mContext = std::make_unique<aaxhost::AlgorithmContext>(*insert->mComponent, insert->mInstance->Effect(),
                                                                 transport.View(), channels, channels, maxBlock);
  insert->mParams = ReadHostParams(insert->Effect());
  if (const HostParam* gain = FindParam(insert->mParams, "gain"); gain && gain->name.size() <= 12)
    insert->mGainID = gain->id;
  insert->DeliverCoefficients();
  return insert;
}

// The view goes first, then the context that holds the instance's private data, then the
// instance.
ValidatorInsert::~ValidatorInsert() {
  CloseEditor();
  mContext.reset();
  mInstance.reset();
}

AAX_IACFEffectParameters& ValidatorInsert::Effect() const { return *mInstance->Effect(); }
aaxhost::Controller& ValidatorInsert::Controller() const { return mInstance->GetController(); }
int ValidatorInsert::MaxBlock() const { return mContext->MaxBlockSize(); }
bool ValidatorInsert::HasKey() const { return mContext->HasSideChain(); }

const HostParam* ValidatorInsert::MasterBypass() const {
  for (const HostParam& param : mParams)
    if (param.masterBypass) return &param;
  return nullptr;
}

void ValidatorInsert::DeliverCoefficients() {
  Effect().GenerateCoefficients();
  mContext->DeliverNewestPackets(Controller());
}

void ValidatorInsert::Automate(const std::string& id, double normalized, bool deliver) {
  aaxhost::CallLog& log = mModule->Host().Log();
  if (log.Size() > kMaxLoggedCalls) log.Clear();
  Effect().TouchParameter(id.c_str());
  Effect().SetParameterNormalizedValue(id.c_str(), normalized);
  Effect().ReleaseParameter(id.c_str());
  if (deliver)
    DeliverCoefficients();
  else
    Effect().GenerateCoefficients();
}

double ValidatorInsert::Normalized(const std::string& id) const {
  double value = -1.0;
  Effect().GetParameterNormalizedValue(id.c_str(), &value);
  return value;
}

double ValidatorInsert::GainDb() const {
  if (mGainID.empty()) return 0.0;
  AAX_CString text;
  if (Effect().GetParameterValueString(mGainID.c_str(), &text, 32) != AAX_SUCCESS) return 0.0;
  const double db = std::strtod(text.Get(), nullptr);
  return std::clamp(db, 0.0, 60.0);
}

float* ValidatorInsert::Input(int channel) { return mContext->Input(channel); }
float* ValidatorInsert::Key() { return HasKey() ? mContext->Input(mContext->SideChainBuffer()) : nullptr; }
float* ValidatorInsert::Output(int channel) { return mContext->Output(channel); }

AudioThreadUse ValidatorInsert::Render(int n, bool withKey) {
  for (int c = 0; c < mChannels; ++c) OutputCheck::MarkUnwritten(Output(c), n);
  mContext->SetBlockLength(n);
  mContext->SetSideChainIndex(withKey && HasKey() ? mContext->SideChainBuffer() : 0);
  AudioThreadWatch& watch = ProcessAudioThreadWatch();
  watch.Begin();
  mContext->Render(mComponent->ProcessProc());
  const AudioThreadUse use = watch.End();
  mInstance->GetTransport().Advance(n);
  return use;
}

std::string ValidatorInsert::ExamineOutputs(int n, double limit) const {
  for (int c = 0; c < mChannels; ++c) {
    const std::string problem = OutputCheck::Examine(mContext->Output(c), n, limit);
    if (!problem.empty()) return "output " + std::to_string(c) + ": " + problem;
  }
  return {};
}

AAX_Result ValidatorInsert::SaveState(std::vector<unsigned char>& out, int32_t prefilled) const {
  AAX_CTypeID id = 0;
  if (const AAX_Result result = Effect().GetChunkIDFromIndex(0, &id); result != AAX_SUCCESS) return result;
  uint32_t size = 0;
  if (const AAX_Result result = Effect().GetChunkSize(id, &size); result != AAX_SUCCESS) return result;
  aaxhost::ChunkRecord record(size);
  record.Get()->fChunkID = id;
  if (prefilled >= 0) record.SetDeclaredSize(prefilled);
  const AAX_Result result = Effect().GetChunk(id, record.Get());
  if (result == AAX_SUCCESS) out = record.Data();
  return result;
}

AAX_Result ValidatorInsert::LoadState(const std::vector<unsigned char>& bytes, int32_t declared, bool deliver) {
  AAX_CTypeID id = 0;
  if (const AAX_Result result = Effect().GetChunkIDFromIndex(0, &id); result != AAX_SUCCESS) return result;
  aaxhost::ChunkRecord record = aaxhost::ChunkRecord::WithData(id, bytes.data(), bytes.size());
  if (declared >= 0) record.SetDeclaredSize(declared);
  const AAX_Result result = Effect().SetChunk(id, record.Get());
  if (result == AAX_SUCCESS) {
    if (deliver)
      DeliverCoefficients();
    else
      Effect().GenerateCoefficients();
  }
  return result;
}

bool ValidatorInsert::OpenEditor(std::string& detail) {
  if (const AAX_Result result = mInstance->CreateGUI(); result != AAX_SUCCESS) {
    detail = "the module makes no editor object (" + AAX::DescribeResult(result) + ")";
    return false;
  }
  AAX_Point size;
  mInstance->GUI()->GetViewSize(&size);
  mWindow = std::make_unique<HostWindow>();
  mView = std::make_unique<aaxhost::ViewContainer>(mModule->Host().Log(), mWindow->NativeHandle(), kViewType);
  if (const AAX_Result result = mInstance->GUI()->SetViewContainer(static_cast<AAX_IACFViewContainer_V2*>(mView.get()));
      result != AAX_SUCCESS) {
    detail = "the editor refused its view (" + AAX::DescribeResult(result) + ")";
    return false;
  }
  detail = "editor open, " + std::to_string(static_cast<int>(size.horz)) + " x " +
           std::to_string(static_cast<int>(size.vert));
  return true;
}

void ValidatorInsert::CloseEditor() {
  if (mInstance && mInstance->GUI() && mView) mInstance->GUI()->SetViewContainer(nullptr);
  if (mWindow) mWindow->PumpMessages();
  mView.reset();
  mWindow.reset();
}

AAX_IACFEffectGUI* ValidatorInsert::Editor() const { return mView ? mInstance->GUI() : nullptr; }

void ValidatorInsert::Idle() {
  Effect().TimerWakeup();
  if (mView && mInstance->GUI()) mInstance->GUI()->TimerWakeup();
  if (mWindow) mWindow->PumpMessages();
}

}  // namespace tbvalidate
