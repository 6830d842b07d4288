#include "aax-library/AAX_VViewContainer.h"

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"

AAX_VViewContainer::AAX_VViewContainer(IACFUnknown* container)
    : mV1(AAX_ACFPtr<AAX_IACFViewContainer>::Query(container, IID_IAAXViewContainerV1)),
      mV2(AAX_ACFPtr<AAX_IACFViewContainer_V2>::Query(container, IID_IAAXViewContainerV2)) {}

int32_t AAX_VViewContainer::GetType() { return mV1 ? mV1->GetType() : AAX_eViewContainer_Type_NULL; }
void* AAX_VViewContainer::GetPtr() { return mV1 ? mV1->GetPtr() : nullptr; }

#define AAX_FORWARD(ptr, call) return ptr ? ptr->call : AAX_ERROR_NULL_OBJECT

AAX_Result AAX_VViewContainer::GetModifiers(uint32_t* outModifiers) { AAX_FORWARD(mV1, GetModifiers(outModifiers)); }
AAX_Result AAX_VViewContainer::SetViewSize(AAX_Point& size) { AAX_FORWARD(mV1, SetViewSize(size)); }
AAX_Result AAX_VViewContainer::HandleParameterMouseDown(AAX_CParamID parameterID, uint32_t modifiers) {
  AAX_FORWARD(mV1, HandleParameterMouseDown(parameterID, modifiers));
}
AAX_Result AAX_VViewContainer::HandleParameterMouseDrag(AAX_CParamID parameterID, uint32_t modifiers) {
  AAX_FORWARD(mV1, HandleParameterMouseDrag(parameterID, modifiers));
}
AAX_Result AAX_VViewContainer::HandleParameterMouseUp(AAX_CParamID parameterID, uint32_t modifiers) {
  AAX_FORWARD(mV1, HandleParameterMouseUp(parameterID, modifiers));
}
AAX_Result AAX_VViewContainer::HandleParameterMouseEnter(AAX_CParamID parameterID, uint32_t modifiers) {
  AAX_FORWARD(mV2, HandleParameterMouseEnter(parameterID, modifiers));
}
AAX_Result AAX_VViewContainer::HandleParameterMouseExit(AAX_CParamID parameterID, uint32_t modifiers) {
  AAX_FORWARD(mV2, HandleParameterMouseExit(parameterID, modifiers));
}

#undef AAX_FORWARD
