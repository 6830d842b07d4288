#pragma once
#include "aax-library/ACFModel.h"
#include "aax-library/AAX_Types.h"

enum AAX_EViewContainer_Type : int32_t {
  AAX_eViewContainer_Type_NULL = 0,
  AAX_eViewContainer_Type_NSView = 1,
  AAX_eViewContainer_Type_UIView = 2,
  AAX_eViewContainer_Type_HWND = 3,
  AAX_eViewContainer_Type_XWindow = 4  // an X11 window id, for hosts on Linux
};

// The host's window that holds the plug-in's editor.
class AAX_IACFViewContainer : public IACFUnknown {
public:
  // Host main thread.
  virtual int32_t GetType() = 0;
  virtual void* GetPtr() = 0;  // the native parent window, or null
  virtual AAX_Result GetModifiers(uint32_t* outModifiers) = 0;
  virtual AAX_Result SetViewSize(AAX_Point& size) = 0;
  virtual AAX_Result HandleParameterMouseDown(AAX_CParamID parameterID, uint32_t modifiers) = 0;
  virtual AAX_Result HandleParameterMouseDrag(AAX_CParamID parameterID, uint32_t modifiers) = 0;
  virtual AAX_Result HandleParameterMouseUp(AAX_CParamID parameterID, uint32_t modifiers) = 0;

protected:
  ~AAX_IACFViewContainer() = default;
};

class AAX_IACFViewContainer_V2 : public AAX_IACFViewContainer {
public:
  virtual AAX_Result HandleParameterMouseEnter(AAX_CParamID parameterID, uint32_t modifiers) = 0;
  virtual AAX_Result HandleParameterMouseExit(AAX_CParamID parameterID, uint32_t modifiers) = 0;

protected:
  ~AAX_IACFViewContainer_V2() = default;
};
