#include "aax-library/AAX_CEffectGUI.h"

#include "aax-library/AAX_CString.h"
#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"

AAX_CEffectGUI::~AAX_CEffectGUI() = default;

ACFRESULT AAX_CEffectGUI::InternalQueryInterface(const acfIID& iid, void** out) {
  if (!out) return ACF_E_POINTER;
  if (iid == IID_IAAXEffectGUIV1) {
    *out = static_cast<AAX_IACFEffectGUI*>(this);
    AddRef();
    return ACF_OK;
  }
  return CACFUnknown::InternalQueryInterface(iid, out);
}

AAX_Result AAX_CEffectGUI::Initialize(IACFUnknown* hostContext) {
  mController = std::make_unique<AAX_VController>(hostContext);
  if (!hostContext || !mController->IsValid()) return AAX_ERROR_NOT_INITIALIZED;
  mEffectParameters = AAX_ACFPtr<AAX_IACFEffectParameters>::Query(hostContext, IID_IAAXEffectParametersV1);
  mTransport = std::make_unique<AAX_VTransport>(hostContext);
  CreateViewContents();
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::Uninitialize() {
  if (mViewContainer) SetViewContainer(nullptr);
  mEffectParameters.Reset();
  mController.reset();
  mTransport.reset();
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::NotificationReceived(AAX_CTypeID, const void*, uint32_t) { return AAX_SUCCESS; }

AAX_Result AAX_CEffectGUI::SetViewContainer(IACFUnknown* container) {
  if (!container) {
    DeleteViewContainer();
    mViewContainer.reset();
    return AAX_SUCCESS;
  }
  mViewContainer = std::make_unique<AAX_VViewContainer>(container);
  CreateViewContainer();
  UpdateAllParameters();
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::GetViewSize(AAX_Point*) const { return AAX_SUCCESS; }
AAX_Result AAX_CEffectGUI::Draw(AAX_Rect*) { return AAX_SUCCESS; }
AAX_Result AAX_CEffectGUI::TimerWakeup() { return AAX_SUCCESS; }
AAX_Result AAX_CEffectGUI::ParameterUpdated(AAX_CParamID) { return AAX_SUCCESS; }
AAX_Result AAX_CEffectGUI::GetCustomLabel(AAX_CTypeID, AAX_IString*) const { return AAX_ERROR_NULL_OBJECT; }
AAX_Result AAX_CEffectGUI::SetControlHighlightInfo(AAX_CParamID, AAX_CBoolean, AAX_EHighlightColor) {
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::UpdateAllParameters() {
  if (!mEffectParameters) return AAX_ERROR_NOT_INITIALIZED;
  int32_t count = 0;
  mEffectParameters->GetNumberOfParameters(&count);
  for (int32_t index = 0; index < count; ++index) {
    AAX_CString id;
    if (mEffectParameters->GetParameterIDFromIndex(index, &id) == AAX_SUCCESS) ParameterUpdated(id.Get());
  }
  return AAX_SUCCESS;
}
