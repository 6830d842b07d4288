#include "aax-library/AAX_CEffectParameters.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

#include "aax-library/AAX_CHostServices.h"
#include "aax-library/AAX_CString.h"
#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"

namespace {
constexpr const char* kMasterBypassID = "MasterBypassID";
constexpr const char* kPreviewID = "PreviewID";

// The longest "\n"-separated line that fits; if none fits, the text cut to the length.
AAX_CString NameOfLength(const AAX_CString& name, int32_t length) {
  if (length <= 0) return AAX_CString();
  const std::string_view text = name.StdString();
  std::string_view best;
  bool found = false;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line = text.substr(start, end - start);
    if (line.size() <= static_cast<std::size_t>(length) && (!found || line.size() > best.size())) {
      best = line;
      found = true;
    }
    start = end + 1;
  }
  if (found) return AAX_CString(best);
  return AAX_CString(text.substr(0, static_cast<std::size_t>(length)));
}
}  // namespace

AAX_CEffectParameters::AAX_CEffectParameters() = default;

// Parameters first: they unregister from the automation delegate as they go.
AAX_CEffectParameters::~AAX_CEffectParameters() {
  mParameterManager.RemoveAllParameters();
  mParameterManager.Initialize(nullptr);
  mPacketDispatcher.Initialize(nullptr, nullptr);
  mController.reset();
  mAutomationDelegate.reset();
  mTransport.reset();
}

ACFRESULT AAX_CEffectParameters::InternalQueryInterface(const acfIID& iid, void** out) {
  if (!out) return ACF_E_POINTER;
  if (iid == IID_IAAXEffectParametersV1 || iid == IID_IAAXEffectParametersV2 ||
      iid == IID_IAAXEffectParametersV3 || iid == IID_IAAXEffectParametersV4) {
    *out = static_cast<AAX_IACFEffectParameters*>(this);
    AddRef();
    return ACF_OK;
  }
  return CACFUnknown::InternalQueryInterface(iid, out);
}

// ---- Life cycle -------------------------------------------------------------------------------

AAX_Result AAX_CEffectParameters::Initialize(IACFUnknown* hostContext) {
  if (mInitialized) Uninitialize();
  mController = std::make_unique<AAX_VController>(hostContext);
  mAutomationDelegate = std::make_unique<AAX_VAutomationDelegate>(hostContext);
  mTransport = std::make_unique<AAX_VTransport>(hostContext);
  // Without a host automation interface the parameters apply values themselves; handing them
  // the empty wrapper would turn every change into a request nobody answers.
  mParameterManager.Initialize(mAutomationDelegate->IsValid() ? mAutomationDelegate.get() : nullptr);
  mPacketDispatcher.Initialize(mController.get(), this);
  mInitialized = true;

  if (const AAX_Result result = EffectInit(); result != AAX_SUCCESS) return result;

  AAX_CString bypassID;
  GetMasterBypassParameter(&bypassID);
  mFilteredParameters.insert(bypassID.StdString());
  mNumChunkedParameters = mParameterManager.NumParameters() - static_cast<int32_t>(mFilteredParameters.size());
  AAX_ASSERT(mNumChunkedParameters >= 0);
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::Uninitialize() {
  mParameterManager.RemoveAllParameters();
  mParameterManager.Initialize(nullptr);
  mPacketDispatcher.Initialize(nullptr, this);
  mController.reset();
  mAutomationDelegate.reset();
  mTransport.reset();
  mFilteredParameters.clear();
  mNumChunkedParameters = 0;
  mInitialized = false;
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size) {
  if (type == AAX_eNotificationEvent_ASPreviewState && data && size >= sizeof(int32_t)) {
    int32_t state = 0;
    std::memcpy(&state, data, sizeof state);
    if (AAX_IParameter* preview = FindParameter(kPreviewID)) preview->SetValueWithBool(state != 0);
  }
  return AAX_SUCCESS;
}

void AAX_CEffectParameters::FilterParameterIDOnSave(AAX_CParamID id) {
  if (id) mFilteredParameters.insert(id);
}

// ---- Host queries -----------------------------------------------------------------------------

AAX_Result AAX_CEffectParameters::GetNumberOfParameters(int32_t* outCount) const {
  if (!outCount) return AAX_ERROR_NULL_ARGUMENT;
  *outCount = mParameterManager.NumParameters();
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetMasterBypassParameter(AAX_IString* outID) const {
  if (!outID) return AAX_ERROR_NULL_ARGUMENT;
  outID->Set(FindParameter(kMasterBypassID) ? kMasterBypassID : "");
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterIsAutomatable(AAX_CParamID id, AAX_CBoolean* outAutomatable) const {
  const AAX_IParameter* parameter = FindParameter(id);
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  if (!outAutomatable) return AAX_ERROR_NULL_ARGUMENT;
  *outAutomatable = parameter->Automatable() ? 1 : 0;
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterNumberOfSteps(AAX_CParamID id, int32_t* outSteps) const {
  const AAX_IParameter* parameter = FindParameter(id);
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  if (!outSteps) return AAX_ERROR_NULL_ARGUMENT;
  const uint32_t steps = parameter->GetNumberOfSteps();
  if (steps > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) return AAX_ERROR_SIGNED_INT_OVERFLOW;
  *outSteps = static_cast<int32_t>(steps);
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterName(AAX_CParamID id, AAX_IString* outName) const {
  const AAX_IParameter* parameter = FindParameter(id);
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  if (!outName) return AAX_ERROR_NULL_ARGUMENT;
  outName->Set(parameter->Name().Get());
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterNameOfLength(AAX_CParamID id, AAX_IString* outName,
                                                           int32_t length) const {
  const AAX_IParameter* parameter = FindParameter(id);
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  if (!outName) return AAX_ERROR_INVALID_STRING_CONVERSION;
  outName->Set(NameOfLength(parameter->ShortenedName(length), length).Get());
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterDefaultNormalizedValue(AAX_CParamID id, double* outValue) const {
  const AAX_IParameter* parameter = FindParameter(id);
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  if (!outValue) return AAX_ERROR_NULL_ARGUMENT;
  *outValue = parameter->GetNormalizedDefaultValue();
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::SetParameterDefaultNormalizedValue(AAX_CParamID id, double value) {
  AAX_IParameter* parameter = FindParameter(id);
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  if (std::isnan(value)) return AAX_ERROR_INVALID_ARGUMENT;
  parameter->SetNormalizedDefaultValue(value);
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterType(AAX_CParamID id, AAX_EParameterType* outType) const {
  const AAX_IParameter* parameter = FindParameter(id);
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  if (!outType) return AAX_ERROR_NULL_ARGUMENT;
  *outType = parameter->GetType();
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterOrientation(AAX_CParamID id,
                                                          AAX_EParameterOrientation* outOrientation) const {
  const AAX_IParameter* parameter = FindParameter(id);
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  if (!outOrientation) return AAX_ERROR_NULL_ARGUMENT;
  *outOrientation = parameter->GetOrientation();
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameter(AAX_CParamID id, AAX_IParameter** outParameter) {
  AAX_IParameter* parameter = FindParameter(id);
  if (outParameter) *outParameter = parameter;
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  if (!outParameter) return AAX_ERROR_NULL_ARGUMENT;
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterIndex(AAX_CParamID id, int32_t* outIndex) const {
  const int32_t index = mParameterManager.GetParameterIndex(id);
  if (index < 0) return AAX_ERROR_INVALID_PARAMETER_ID;
  if (!outIndex) return AAX_ERROR_NULL_ARGUMENT;
  *outIndex = index;
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterIDFromIndex(int32_t index, AAX_IString* outID) const {
  const AAX_IParameter* parameter = mParameterManager.GetParameter(index);
  if (outID) outID->Set(parameter ? parameter->Identifier() : "");
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  if (!outID) return AAX_ERROR_NULL_ARGUMENT;
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterValueInfo(AAX_CParamID /*id*/, int32_t /*selector*/,
                                                        int32_t* /*outValue*/) const {
  return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::GetParameterValueFromString(AAX_CParamID id, double* outNormalized,
                                                              const AAX_IString& text) const {
  const AAX_IParameter* parameter = FindParameter(id);
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  if (!outNormalized) return AAX_ERROR_NULL_ARGUMENT;
  if (!parameter->GetNormalizedValueFromString(AAX_CString(text), outNormalized)) {
    return AAX_ERROR_INVALID_STRING_CONVERSION;
  }
  return AAX_SUCCESS;
}

// A value the display cannot name still gets the delegate's text ("String Not Found"), and
// the result says the conversion failed.
AAX_Result AAX_CEffectParameters::GetParameterStringFromValue(AAX_CParamID id, double normalized,
                                                              AAX_IString* outText, int32_t maxLength) const {
  const AAX_IParameter* parameter = FindParameter(id);
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  if (!outText) return AAX_ERROR_NULL_ARGUMENT;
  if (std::isnan(normalized)) return AAX_ERROR_INVALID_ARGUMENT;
  AAX_CString text;
  const bool ok = parameter->GetStringFromNormalizedValue(normalized, maxLength, text);
  outText->Set(text.Get());
  return ok ? AAX_SUCCESS : AAX_ERROR_INVALID_STRING_CONVERSION;
}

AAX_Result AAX_CEffectParameters::GetParameterValueString(AAX_CParamID id, AAX_IString* outText,
                                                          int32_t maxLength) const {
  const AAX_IParameter* parameter = FindParameter(id);
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  if (!outText) return AAX_ERROR_NULL_ARGUMENT;
  AAX_CString text;
  const bool ok = parameter->GetValueString(maxLength, &text);
  outText->Set(text.Get());
  return ok ? AAX_SUCCESS : AAX_ERROR_INVALID_STRING_CONVERSION;
}

AAX_Result AAX_CEffectParameters::GetParameterNormalizedValue(AAX_CParamID id, double* outValue) const {
  const AAX_IParameter* parameter = FindParameter(id);
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  if (!outValue) return AAX_ERROR_NULL_ARGUMENT;
  *outValue = parameter->GetNormalizedValue();
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::SetParameterNormalizedValue(AAX_CParamID id, double value) {
  AAX_IParameter* parameter = FindParameter(id);
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  if (std::isnan(value)) return AAX_ERROR_INVALID_ARGUMENT;
  parameter->SetNormalizedValue(value);
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::SetParameterNormalizedRelative(AAX_CParamID id, double delta) {
  AAX_IParameter* parameter = FindParameter(id);
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  if (std::isnan(delta)) return AAX_ERROR_INVALID_ARGUMENT;
  parameter->SetNormalizedValue(std::clamp(parameter->GetNormalizedValue() + delta, 0.0, 1.0));
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::TouchParameter(AAX_CParamID id) {
  AAX_IParameter* parameter = FindParameter(id);
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  parameter->Touch();
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::ReleaseParameter(AAX_CParamID id) {
  AAX_IParameter* parameter = FindParameter(id);
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  parameter->Release();
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::UpdateParameterTouch(AAX_CParamID id, AAX_CBoolean /*touched*/) {
  return FindParameter(id) ? AAX_SUCCESS : AAX_ERROR_INVALID_PARAMETER_ID;
}

AAX_Result AAX_CEffectParameters::UpdateParameterNormalizedValue(AAX_CParamID id, double value,
                                                                 AAX_EUpdateSource /*source*/) {
  AAX_IParameter* parameter = FindParameter(id);
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  if (std::isnan(value)) return AAX_ERROR_INVALID_ARGUMENT;
  parameter->UpdateNormalizedValue(value);
  const AAX_Result result = mPacketDispatcher.SetDirty(id);
  ++mNumPlugInChanges;
  return result;
}

AAX_Result AAX_CEffectParameters::UpdateParameterNormalizedRelative(AAX_CParamID id, double delta) {
  const AAX_IParameter* parameter = FindParameter(id);
  if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
  if (std::isnan(delta)) return AAX_ERROR_INVALID_ARGUMENT;
  const double value = std::clamp(parameter->GetNormalizedValue() + delta, 0.0, 1.0);
  return UpdateParameterNormalizedValue(id, value, AAX_eUpdateSource_Unspecified);
}

AAX_Result AAX_CEffectParameters::GenerateCoefficients() { return mPacketDispatcher.Dispatch(); }

AAX_Result AAX_CEffectParameters::ResetFieldData(AAX_CFieldIndex /*index*/, void* data, uint32_t size) const {
  if (data && size) std::memset(data, 0, size);
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetNumberOfChanges(int32_t* outChanges) const {
  if (!outChanges) return AAX_ERROR_NULL_ARGUMENT;
  *outChanges = mNumPlugInChanges;
  return AAX_SUCCESS;
}

// ---- Chunks -----------------------------------------------------------------------------------

AAX_Result AAX_CEffectParameters::GetNumberOfChunks(int32_t* outCount) const {
  if (!outCount) return AAX_ERROR_NULL_ARGUMENT;
  *outCount = 0;
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetChunkIDFromIndex(int32_t /*index*/, AAX_CTypeID* outID) const {
  if (outID) *outID = 0;
  return AAX_ERROR_INVALID_CHUNK_INDEX;
}

AAX_Result AAX_CEffectParameters::GetChunkSize(AAX_CTypeID /*id*/, uint32_t* outSize) const {
  if (outSize) *outSize = 0;
  return AAX_ERROR_INVALID_CHUNK_ID;
}

AAX_Result AAX_CEffectParameters::GetChunk(AAX_CTypeID /*id*/, AAX_SPlugInChunk* /*chunk*/) const {
  return AAX_ERROR_INVALID_CHUNK_ID;
}

AAX_Result AAX_CEffectParameters::SetChunk(AAX_CTypeID /*id*/, const AAX_SPlugInChunk* /*chunk*/) {
  return AAX_ERROR_INVALID_CHUNK_ID;
}

// With no chunk of its own, nothing the host holds can differ from the active state.
AAX_Result AAX_CEffectParameters::CompareActiveChunk(const AAX_SPlugInChunk* /*chunk*/, AAX_CBoolean* outIsEqual) const {
  if (!outIsEqual) return AAX_ERROR_NULL_ARGUMENT;
  *outIsEqual = 1;
  return AAX_SUCCESS;
}

// ---- Optional operations ----------------------------------------------------------------------

AAX_Result AAX_CEffectParameters::GetCurveData(AAX_CTypeID, const float*, uint32_t, float*) const {
  return AAX_ERROR_UNIMPLEMENTED;
}
AAX_Result AAX_CEffectParameters::GetCurveDataMeterIds(AAX_CTypeID, uint32_t*, uint32_t*) const {
  return AAX_ERROR_UNIMPLEMENTED;
}
AAX_Result AAX_CEffectParameters::GetCurveDataDisplayRange(AAX_CTypeID, float*, float*, float*, float*) const {
  return AAX_ERROR_UNIMPLEMENTED;
}
AAX_Result AAX_CEffectParameters::TimerWakeup() { return AAX_SUCCESS; }
AAX_Result AAX_CEffectParameters::GetCustomData(AAX_CTypeID, uint32_t, void*, uint32_t* outSize) const {
  if (outSize) *outSize = 0;
  return AAX_SUCCESS;
}
AAX_Result AAX_CEffectParameters::SetCustomData(AAX_CTypeID, uint32_t, const void*) { return AAX_SUCCESS; }
AAX_Result AAX_CEffectParameters::DoMIDITransfers() { return AAX_SUCCESS; }
AAX_Result AAX_CEffectParameters::UpdateMIDINodes(AAX_CFieldIndex, AAX_CMidiPacket&) { return AAX_SUCCESS; }
AAX_Result AAX_CEffectParameters::UpdateControlMIDINodes(AAX_CTypeID, AAX_CMidiPacket&) { return AAX_SUCCESS; }
AAX_Result AAX_CEffectParameters::RenderAudio_Hybrid(AAX_SHybridRenderInfo*) { return AAX_ERROR_UNIMPLEMENTED; }
AAX_Result AAX_CEffectParameters::UpdatePageTable(uint32_t, int32_t, int32_t, AAX_IACFPageTable*) const {
  return AAX_SUCCESS;
}
