#pragma once
#include "aax-library/AAX_Types.h"

// Module-side view of the host window that holds the editor; see AAX_IACFViewContainer.
class AAX_IViewContainer {
public:
  virtual ~AAX_IViewContainer() = default;
  virtual int32_t GetType() = 0;
  virtual void* GetPtr() = 0;
  virtual AAX_Result GetModifiers(uint32_t* outModifiers) = 0;
  virtual AAX_Result SetViewSize(AAX_Point& size) = 0;
  virtual AAX_Result HandleParameterMouseDown(AAX_CParamID parameterID, uint32_t modifiers) = 0;
  virtual AAX_Result HandleParameterMouseDrag(AAX_CParamID parameterID, uint32_t modifiers) = 0;
  virtual AAX_Result HandleParameterMouseUp(AAX_CParamID parameterID, uint32_t modifiers) = 0;
  virtual AAX_Result HandleParameterMouseEnter(AAX_CParamID parameterID, uint32_t modifiers) = 0;
  virtual AAX_Result HandleParameterMouseExit(AAX_CParamID parameterID, uint32_t modifiers) = 0;
};
