#pragma once
#include <memory>

#include "IPlug/AAX/AAXViewContainerAdapter.h"
#include "aax-library/AAX_CEffectGUI.h"

namespace iplug {

class IPlugAAX;

// The plug-in's GUI object. It draws nothing itself: it finds the instance's IPlugAAX behind
// the effect-parameters interface, lets the framework open its editor window inside the
// host's window and close it again, answers the host's size question from the editor size,
// and hands the host's control highlighting to the editor. Resizing that the editor starts
// goes the other way, through IPlugAAX::ResizeEditorWindow and the view container given to
// the editor here.
// Host main thread only. Created with a reference count of 0, deleted by its last Release.
class AAX_CEffectGUI_IPLUG final : public AAX_CEffectGUI {
public:
  AAX_CEffectGUI_IPLUG() = default;
  ~AAX_CEffectGUI_IPLUG() override;

  // The editor's current size (the configured one until the editor changes it); the size
  // is left alone for a plug-in without an editor.
  AAX_Result GetViewSize(AAX_Point* outSize) const override;
  // Nothing to do: the framework delivers values to the editor itself.
  AAX_Result ParameterUpdated(AAX_CParamID id) override;
  // Highlights the controls of the parameter with that identifier ("1" is index 0).
  // AAX_ERROR_INVALID_PARAMETER_ID without an open editor or for an identifier that names
  // no parameter.
  AAX_Result SetControlHighlightInfo(AAX_CParamID id, AAX_CBoolean isHighlighted, AAX_EHighlightColor color) override;
  // The host's idle call. Where no system message loop delivers the editor's timers and
  // window events to it (everywhere but Windows), the editor's thread runs them here: the
  // framework's run loop fires the 20 ms service timer and the editor window's event pump.
  AAX_Result TimerWakeup() override;

  IPlugAAX* GetPlug() const { return mPlug; }

protected:
  void CreateViewContents() override;
  void CreateViewContainer() override;
  void DeleteViewContainer() override;

private:
  IPlugAAX* mPlug = nullptr;  // not owned; null until the view contents exist
  // The size GetViewSize last gave the host: an editor that opens at another size (a zoom
  // restored with a state while it was closed) asks the host for its own.
  mutable AAX_Point mReportedSize;
  std::unique_ptr<AAXViewContainerAdapter> mContainerAdapter;
};

}  // namespace iplug
