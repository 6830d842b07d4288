#include "graphics/IKnobControlBase.h"

#include "graphics/IGraphics.h"

namespace igraphics {

namespace {
bool IsStepped(const iplug::IParam* param) { return param && param->GetStepped() && param->GetStep() > 0.; }
}  // namespace

IKnobControlBase::IKnobControlBase(const IBounds& bounds, int paramIdx, int direction, double gearing)
    : IControl(bounds, paramIdx), mDirection(direction), mGearing(gearing) {}

void IKnobControlBase::OnMouseDown(float x, float y, const IMouseMod& mod) {
  mMouseDown = true;
  mMouseDragValue = GetValue(0);
  if (mHideCursorOnDrag && mGraphics) mGraphics->HideMouseCursor(true, true);
  if (mod.R) PromptUserInput(GetValIdxForPos(x, y));
}

void IKnobControlBase::OnMouseUp(float, float, const IMouseMod&) {
  if (mHideCursorOnDrag && mGraphics) mGraphics->HideMouseCursor(false, true);
  mMouseDown = false;
  SetDirty(false);
}

void IKnobControlBase::OnMouseDrag(float, float, float dX, float dY, const IMouseMod& mod) {
  double gearing = mGearing;
  if (mod.C || mod.S) gearing *= 10.0;
  const IBounds b = GetKnobDragBounds();
  const bool vertical = mDirection == kVertical;
  const double range = vertical ? b.T - b.B : b.R - b.L;  // upwards is positive for a vertical knob
  const double delta = vertical ? dY : dX;
  if (range == 0. || gearing == 0.) return;
  mMouseDragValue = Clip01(mMouseDragValue + delta / range / gearing);
  double v = mMouseDragValue;
  const iplug::IParam* param = GetParam(0);
  if (IsStepped(param)) v = param->ConstrainNormalized(v);
  SetValue(v, 0);
  SetDirty(true);
}

void IKnobControlBase::OnMouseWheel(float, float, const IMouseMod& mod, float d) {
  const double gearing = (mod.C || mod.S) ? 0.001 : 0.01;
  const iplug::IParam* param = GetParam(0);
  double v = GetValue(0);
  if (IsStepped(param)) {
    // One step per event, whatever the wheel delta's size.
    if (d != 0.f) {
      double real = param->Constrain(param->FromNormalized(v));
      real += d > 0.f ? param->GetStep() : -param->GetStep();
      v = param->ToNormalized(real);
    }
  } else {
    v = GetValue(0) + d * gearing;
  }
  SetValue(v, 0);
  SetDirty(true);
}

}  // namespace igraphics
