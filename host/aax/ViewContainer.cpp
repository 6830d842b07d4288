#include "host/aax/ViewContainer.h"

#include <utility>

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"
#include "host/aax/CallLog.h"
#include "host/aax/HostWindow.h"

namespace aaxhost {

ViewContainer::ViewContainer(CallLog& log, void* nativeWindow, int32_t type, std::string label)
    : mLog(log), mNativeWindow(nativeWindow), mType(type), mLabel(std::move(label)) {}

ViewContainer::ViewContainer(CallLog& log, HostWindow& window, std::string label)
    : mLog(log), mNativeWindow(nullptr), mType(AAX_eViewContainer_Type_HWND), mLabel(std::move(label)),
      mHostWindow(&window) {}

void* ViewContainer::GetPtr() { return mHostWindow ? mHostWindow->Handle() : mNativeWindow; }

ACFRESULT ViewContainer::QueryInterface(const acfIID& iid, void** out) {
  if (!out) return ACF_E_POINTER;
  *out = nullptr;
  if (iid != IID_IACFUnknown && iid != IID_IAAXViewContainerV1 && iid != IID_IAAXViewContainerV2) {
    return ACF_E_NOINTERFACE;
  }
  *out = static_cast<AAX_IACFViewContainer_V2*>(this);
  AddRef();
  return ACF_OK;
}

AAX_Result ViewContainer::GetModifiers(uint32_t* outModifiers) {
  if (!outModifiers) return AAX_ERROR_NULL_ARGUMENT;
  *outModifiers = 0;
  return AAX_SUCCESS;
}

AAX_Result ViewContainer::SetViewSize(AAX_Point& size) {
  mLog.Add({mLabel, "SetViewSize", {Number(size.horz), Number(size.vert)}});
  if (!(size.horz > 0.0f) || !(size.vert > 0.0f)) return AAX_ERROR_INVALID_VIEW_SIZE;
  if (mHostWindow && !mHostWindow->SetClientSize(static_cast<int>(size.horz), static_cast<int>(size.vert)))
    return AAX_ERROR_INVALID_VIEW_SIZE;
  mSize = size;
  return AAX_SUCCESS;
}

AAX_Result ViewContainer::RecordMouse(const char* name, AAX_CParamID parameterID, uint32_t modifiers) {
  mLog.Add({mLabel, name, {Text(parameterID), Hex(modifiers)}});
  // Any non-zero answer lets the plug-in go on with the event.
  return mTakesMouseEvents ? AAX_SUCCESS : AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result ViewContainer::HandleParameterMouseDown(AAX_CParamID id, uint32_t m) {
  return RecordMouse("HandleParameterMouseDown", id, m);
}
AAX_Result ViewContainer::HandleParameterMouseDrag(AAX_CParamID id, uint32_t m) {
  return RecordMouse("HandleParameterMouseDrag", id, m);
}
AAX_Result ViewContainer::HandleParameterMouseUp(AAX_CParamID id, uint32_t m) {
  return RecordMouse("HandleParameterMouseUp", id, m);
}
AAX_Result ViewContainer::HandleParameterMouseEnter(AAX_CParamID id, uint32_t m) {
  return RecordMouse("HandleParameterMouseEnter", id, m);
}
AAX_Result ViewContainer::HandleParameterMouseExit(AAX_CParamID id, uint32_t m) {
  return RecordMouse("HandleParameterMouseExit", id, m);
}

}  // namespace aaxhost
