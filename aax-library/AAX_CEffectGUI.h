#pragma once
#include <memory>

#include "aax-library/AAX_ACFPtr.h"
#include "aax-library/AAX_IACFEffectGUI.h"
#include "aax-library/AAX_IACFEffectParameters.h"
#include "aax-library/AAX_VController.h"
#include "aax-library/AAX_VTransport.h"
#include "aax-library/AAX_VViewContainer.h"
#include "aax-library/CACFUnknown.h"

// The library's GUI object: binds to the instance's effect parameters, keeps the host's view
// container while a view is open, and leaves the editor itself to the plug-in through
// CreateViewContents, CreateViewContainer and DeleteViewContainer.
// Host main thread only. Created with a reference count of 0, deleted by its last Release.
class AAX_CEffectGUI : public AAX_IACFEffectGUI, public CACFUnknown {
public:
  AAX_CEffectGUI() = default;
  ~AAX_CEffectGUI() override;

  AAX_DECLARE_DELEGATING_UNKNOWN()
  ACFRESULT InternalQueryInterface(const acfIID& iid, void** out) override;

  // AAX_ERROR_NOT_INITIALIZED when the host context or its controller is missing.
  AAX_Result Initialize(IACFUnknown* hostContext) override;
  AAX_Result Uninitialize() override;
  AAX_Result NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size) override;
  AAX_Result SetViewContainer(IACFUnknown* container) override;
  AAX_Result GetViewSize(AAX_Point* outSize) const override;
  AAX_Result Draw(AAX_Rect* area) override;
  AAX_Result TimerWakeup() override;
  AAX_Result ParameterUpdated(AAX_CParamID id) override;
  AAX_Result GetCustomLabel(AAX_CTypeID selector, AAX_IString* outLabel) const override;
  AAX_Result SetControlHighlightInfo(AAX_CParamID id, AAX_CBoolean isHighlighted, AAX_EHighlightColor color) override;

  AAX_IACFEffectParameters* GetEffectParameters() const { return mEffectParameters.Get(); }
  AAX_IViewContainer* GetViewContainer() const { return mViewContainer.get(); }
  AAX_IController* GetController() const { return mController.get(); }
  AAX_ITransport* Transport() const { return mTransport.get(); }

protected:
  virtual void CreateViewContents() = 0;
  virtual void CreateViewContainer() = 0;
  virtual void DeleteViewContainer() = 0;
  // Tells ParameterUpdated about every parameter of the instance.
  virtual AAX_Result UpdateAllParameters();

private:
  std::unique_ptr<AAX_VController> mController;
  AAX_ACFPtr<AAX_IACFEffectParameters> mEffectParameters;
  std::unique_ptr<AAX_VViewContainer> mViewContainer;
  std::unique_ptr<AAX_VTransport> mTransport;
};
