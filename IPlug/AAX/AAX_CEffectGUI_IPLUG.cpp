#include "IPlug/AAX/AAX_CEffectGUI_IPLUG.h"

#include "IPlug/AAX/IPlugAAX.h"
#include "IPlug/HostParams.h"
#include "aax-library/AAX_Errors.h"
#ifndef _WIN32
#include "IPlug/TimerRunLoop.h"
#endif
#include "graphics/IGraphics.h"

namespace iplug {

AAX_CEffectGUI_IPLUG::~AAX_CEffectGUI_IPLUG() {
  // The editor must not keep the adapter of a GUI object that is gone.
  if (mPlug && mContainerAdapter) {
    if (igraphics::IGraphics* view = mPlug->GetUI(); view && view->GetViewContainer() == mContainerAdapter.get())
      view->SetViewContainer(nullptr);
  }
}

void AAX_CEffectGUI_IPLUG::CreateViewContents() { mPlug = dynamic_cast<IPlugAAX*>(GetEffectParameters()); }

void AAX_CEffectGUI_IPLUG::CreateViewContainer() {
  AAX_IViewContainer* container = GetViewContainer();
  void* parent = container ? container->GetPtr() : nullptr;
  if (!mPlug || !parent) return;
  if (mPlug->HasUI()) mPlug->OpenEditor(parent);
  if (igraphics::IGraphics* view = mPlug->GetUI()) {
    mContainerAdapter = std::make_unique<AAXViewContainerAdapter>(*container);
    view->SetViewContainer(mContainerAdapter.get());
    const float width = static_cast<float>(mPlug->GetEditorWidth());
    const float height = static_cast<float>(mPlug->GetEditorHeight());
    if (width != mReportedSize.horz || height != mReportedSize.vert) mContainerAdapter->SetViewSize(width, height);
  }
}

void AAX_CEffectGUI_IPLUG::DeleteViewContainer() {
  if (mPlug) mPlug->CloseEditor();
  mContainerAdapter.reset();
}

AAX_Result AAX_CEffectGUI_IPLUG::GetViewSize(AAX_Point* outSize) const {
  if (!outSize) return AAX_ERROR_NULL_ARGUMENT;
  if (mPlug && mPlug->HasUI()) {
    outSize->horz = static_cast<float>(mPlug->GetEditorWidth());
    outSize->vert = static_cast<float>(mPlug->GetEditorHeight());
    mReportedSize = *outSize;
  }
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI_IPLUG::ParameterUpdated(AAX_CParamID) { return AAX_SUCCESS; }

AAX_Result AAX_CEffectGUI_IPLUG::TimerWakeup() {
#ifndef _WIN32
  iplug::TimerRunLoop::Pump();
#endif
  return AAX_CEffectGUI::TimerWakeup();
}

AAX_Result AAX_CEffectGUI_IPLUG::SetControlHighlightInfo(AAX_CParamID id, AAX_CBoolean isHighlighted,
                                                         AAX_EHighlightColor color) {
  auto* view = mPlug ? static_cast<igraphics::IPlugAAXView_Interface*>(mPlug->GetEditorView()) : nullptr;
  if (!view) return AAX_ERROR_INVALID_PARAMETER_ID;
  const int paramIdx = HostParams(*mPlug).ParamIndexFromID(id);
  if (paramIdx < 0) return AAX_ERROR_INVALID_PARAMETER_ID;
  view->SetControlHighlight(paramIdx, isHighlighted != 0, static_cast<int>(color));
  return AAX_SUCCESS;
}

}  // namespace iplug
