#pragma once
#include "aax-library/AAX_ACFPtr.h"
#include "aax-library/AAX_IACFViewContainer.h"
#include "aax-library/AAX_IViewContainer.h"

// Forwards to the host's view container (both versions). Calls give AAX_ERROR_NULL_OBJECT
// (GetPtr null, GetType NULL) when the host offers no container; the second version's calls
// when the host offers only the first.
class AAX_VViewContainer : public AAX_IViewContainer {
public:
  explicit AAX_VViewContainer(IACFUnknown* container);

  bool IsValid() const { return static_cast<bool>(mV1); }

  int32_t GetType() override;
  void* GetPtr() override;
  AAX_Result GetModifiers(uint32_t* outModifiers) override;
  AAX_Result SetViewSize(AAX_Point& size) override;
  AAX_Result HandleParameterMouseDown(AAX_CParamID parameterID, uint32_t modifiers) override;
  AAX_Result HandleParameterMouseDrag(AAX_CParamID parameterID, uint32_t modifiers) override;
  AAX_Result HandleParameterMouseUp(AAX_CParamID parameterID, uint32_t modifiers) override;
  AAX_Result HandleParameterMouseEnter(AAX_CParamID parameterID, uint32_t modifiers) override;
  AAX_Result HandleParameterMouseExit(AAX_CParamID parameterID, uint32_t modifiers) override;

private:
  AAX_ACFPtr<AAX_IACFViewContainer> mV1;
  AAX_ACFPtr<AAX_IACFViewContainer_V2> mV2;
};
