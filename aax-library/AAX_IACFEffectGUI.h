#pragma once
#include "aax-library/ACFModel.h"
#include "aax-library/AAX_IString.h"
#include "aax-library/AAX_Types.h"

// The GUI object of one instance as the host calls it. Host main thread only.
class AAX_IACFEffectGUI : public IACFUnknown {
public:
  // hostContext answers the controller and the instance's effect-parameters interfaces.
  virtual AAX_Result Initialize(IACFUnknown* hostContext) = 0;
  virtual AAX_Result Uninitialize() = 0;
  virtual AAX_Result NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size) = 0;
  // container answers IID_IAAXViewContainerV1 (and V2); null closes the view.
  virtual AAX_Result SetViewContainer(IACFUnknown* container) = 0;
  virtual AAX_Result GetViewSize(AAX_Point* outSize) const = 0;
  virtual AAX_Result Draw(AAX_Rect* area) = 0;
  virtual AAX_Result TimerWakeup() = 0;
  virtual AAX_Result ParameterUpdated(AAX_CParamID id) = 0;
  virtual AAX_Result GetCustomLabel(AAX_CTypeID selector, AAX_IString* outLabel) const = 0;
  virtual AAX_Result SetControlHighlightInfo(AAX_CParamID id, AAX_CBoolean isHighlighted,
                                             AAX_EHighlightColor color) = 0;

protected:
  ~AAX_IACFEffectGUI() = default;
};
