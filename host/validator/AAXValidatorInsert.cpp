#include "host/validator/AAXValidatorInsert.h"

#include <algorithm>

#include "aax-library/AAX_CString.h"
#include "aax-library/AAX_IACFEffectGUI.h"
#include "aax-library/AAX_IACFEffectParameters.h"
#include "aax-library/AAX_Results.h"
#include "host/aax/AlgorithmContext.h"
#include "host/aax/CallLog.h"
#include "host/aax/ChunkRecord.h"
#include "host/aax/Controller.h"
#include "host/aax/HostWindow.h"
#include "host/aax/Instance.h"
#include "host/aax/ViewContainer.h"
#include "host/cli/AAXInsert.h"
#include "host/cli/AAXModule.h"
#include "host/validator/OutputCheck.h"

namespace tbvalidate {
namespace {

// The recording host keeps every call; a validation makes hundreds of thousands.
constexpr size_t kMaxLoggedCalls = 4096;

#if defined(_WIN32)
constexpr int32_t kViewType = AAX_eViewContainer_Type_HWND;
#else
constexpr int32_t kViewType = AAX_eViewContainer_Type_NULL;
#endif

}  // namespace

std::unique_ptr<ValidatorInsert> AAXValidatorInsert::Create(tbhost::AAXModule& module, int channels,
                                                            double sampleRate, int maxBlock, std::string& error) {
  std::unique_ptr<AAXValidatorInsert> insert(new AAXValidatorInsert());
  insert->mModule = &module;
  insert->mInsert = tbhost::AAXInsert::Create(module, channels, sampleRate, maxBlock, error);
  if (!insert->mInsert) {
    error = "the module " + error;
    return nullptr;
  }
  insert->mParams = ReadHostParams(insert->mInsert->Effect());
  insert->DeliverCoefficients();
  return insert;
}

// The view goes first, then the insert.
AAXValidatorInsert::~AAXValidatorInsert() {
  CloseEditor();
  mInsert.reset();
}

int AAXValidatorInsert::Channels() const { return mInsert->Channels(); }
double AAXValidatorInsert::SampleRate() const { return mInsert->SampleRate(); }
int AAXValidatorInsert::MaxBlock() const { return mInsert->Context().MaxBlockSize(); }
bool AAXValidatorInsert::HasKey() const { return mInsert->Context().HasSideChain(); }

AAX_IACFEffectParameters& AAXValidatorInsert::Effect() const { return mInsert->Effect(); }

void AAXValidatorInsert::DeliverCoefficients() { mInsert->DeliverCoefficients(); }

void AAXValidatorInsert::Automate(const std::string& id, double normalized, bool deliver) {
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

double AAXValidatorInsert::Normalized(const std::string& id) const {
  double value = -1.0;
  Effect().GetParameterNormalizedValue(id.c_str(), &value);
  return value;
}

void AAXValidatorInsert::SetFromHost(const std::string& id, double normalized) {
  Effect().UpdateParameterNormalizedValue(id.c_str(), normalized, AAX_eUpdateSource_Parameter);
}

void AAXValidatorInsert::EditorGesture(const std::string& id, const double* values, int count) {
  Effect().TouchParameter(id.c_str());
  for (int i = 0; i < count; ++i) Effect().SetParameterNormalizedValue(id.c_str(), values[i]);
  Effect().ReleaseParameter(id.c_str());
  if (AAX_IACFEffectGUI* gui = mView ? mInsert->Instance().GUI() : nullptr) gui->ParameterUpdated(id.c_str());
}

std::string AAXValidatorInsert::CurrentText(const HostParam& param) const {
  AAX_CString text;
  if (Effect().GetParameterValueString(param.id.c_str(), &text, 32) != AAX_SUCCESS) return {};
  return text.StdString();
}

std::string AAXValidatorInsert::Text(const HostParam& param, double normalized) const {
  AAX_CString text;
  if (Effect().GetParameterStringFromValue(param.id.c_str(), normalized, &text, 64) != AAX_SUCCESS) return {};
  return text.StdString();
}

bool AAXValidatorInsert::ValueFromText(const HostParam& param, const std::string& text, double& normalized) const {
  return Effect().GetParameterValueFromString(param.id.c_str(), &normalized, AAX_CString(text)) == AAX_SUCCESS;
}

int AAXValidatorInsert::ReportedLatency() const { return mInsert->Instance().GetController().SignalLatency(); }

bool AAXValidatorInsert::FailHostQueries(bool failing) {
  mInsert->Instance().GetController().FailStemFormatQueries(failing);
  return true;
}

int64_t AAXValidatorInsert::Position() const { return mInsert->Instance().GetTransport().SamplePosition(); }

float* AAXValidatorInsert::Input(int channel) { return mInsert->Context().Input(channel); }
float* AAXValidatorInsert::Key() {
  aaxhost::AlgorithmContext& context = mInsert->Context();
  return HasKey() ? context.Input(context.SideChainBuffer()) : nullptr;
}
float* AAXValidatorInsert::Output(int channel) { return mInsert->Context().Output(channel); }

AudioThreadUse AAXValidatorInsert::Render(int n, bool withKey) {
  aaxhost::AlgorithmContext& context = mInsert->Context();
  for (int c = 0; c < Channels(); ++c) OutputCheck::MarkUnwritten(Output(c), n);
  context.SetBlockLength(n);
  context.SetSideChainIndex(withKey && HasKey() ? context.SideChainBuffer() : 0);
  AudioThreadWatch& watch = ProcessAudioThreadWatch();
  watch.Begin();
  context.Render(mInsert->Component().ProcessProc());
  const AudioThreadUse use = watch.End();
  mInsert->Instance().GetTransport().Advance(n);
  return use;
}

namespace {
bool Succeeded(AAX_Result result, std::string& error) {
  if (result == AAX_SUCCESS) return true;
  error = AAX::DescribeResult(result);
  return false;
}
}  // namespace

bool AAXValidatorInsert::SaveState(std::vector<unsigned char>& out, std::string& error, int32_t prefilled) const {
  AAX_CTypeID id = 0;
  if (!Succeeded(Effect().GetChunkIDFromIndex(0, &id), error)) return false;
  uint32_t size = 0;
  if (!Succeeded(Effect().GetChunkSize(id, &size), error)) return false;
  aaxhost::ChunkRecord record(size);
  record.Get()->fChunkID = id;
  if (prefilled >= 0) record.SetDeclaredSize(prefilled);
  if (!Succeeded(Effect().GetChunk(id, record.Get()), error)) return false;
  out = record.Data();
  return true;
}

bool AAXValidatorInsert::LoadState(const std::vector<unsigned char>& bytes, std::string& error, int32_t declared,
                                bool deliver) {
  AAX_CTypeID id = 0;
  if (!Succeeded(Effect().GetChunkIDFromIndex(0, &id), error)) return false;
  aaxhost::ChunkRecord record = aaxhost::ChunkRecord::WithData(id, bytes.data(), bytes.size());
  if (declared >= 0) record.SetDeclaredSize(declared);
  if (!Succeeded(Effect().SetChunk(id, record.Get()), error)) return false;
  if (deliver)
    DeliverCoefficients();
  else
    Effect().GenerateCoefficients();
  return true;
}

bool AAXValidatorInsert::OpenEditor(std::string& detail) {
  if (const AAX_Result result = mInsert->Instance().CreateGUI(); result != AAX_SUCCESS) {
    detail = "the module makes no editor object (" + AAX::DescribeResult(result) + ")";
    return false;
  }
  AAX_Point size;
  mInsert->Instance().GUI()->GetViewSize(&size);
  void* parent = nullptr;
#if defined(_WIN32)
  // A hidden top-level window of the host's; elsewhere the editor draws off-screen.
  std::string unused;
  mWindow = aaxhost::HostWindow::Create("validate", std::max(1, static_cast<int>(size.horz)),
                                        std::max(1, static_cast<int>(size.vert)), unused, /*shown=*/false);
  if (mWindow) parent = mWindow->Handle();
#endif
  mView = std::make_unique<aaxhost::ViewContainer>(mModule->Host().Log(), parent, kViewType);
  if (const AAX_Result result = mInsert->Instance().GUI()->SetViewContainer(static_cast<AAX_IACFViewContainer_V2*>(mView.get()));
      result != AAX_SUCCESS) {
    detail = "the editor refused its view (" + AAX::DescribeResult(result) + ")";
    return false;
  }
  detail = "editor open, " + std::to_string(static_cast<int>(size.horz)) + " x " +
           std::to_string(static_cast<int>(size.vert));
  return true;
}

void AAXValidatorInsert::CloseEditor() {
  if (mInsert && mInsert->Instance().GUI() && mView) mInsert->Instance().GUI()->SetViewContainer(nullptr);
  if (mWindow) mWindow->PumpMessages(0);
  mView.reset();
  mWindow.reset();
}

bool AAXValidatorInsert::EditorOpen() const { return mView && mInsert->Instance().GUI(); }

void AAXValidatorInsert::Idle() {
  Effect().TimerWakeup();
  if (mView && mInsert->Instance().GUI()) mInsert->Instance().GUI()->TimerWakeup();
  if (mWindow) mWindow->PumpMessages(0);
}

}  // namespace tbvalidate
