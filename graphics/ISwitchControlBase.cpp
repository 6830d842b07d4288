#include "graphics/ISwitchControlBase.h"

namespace igraphics {

ISwitchControlBase::ISwitchControlBase(const IBounds& bounds, int paramIdx, IActionFunction actionFunc,
                                       int numStates)
    : IControl(bounds, paramIdx, std::move(actionFunc)), mNumStates(numStates),
      mStateDisabled(static_cast<size_t>(numStates > 0 ? numStates : 0), 0) {
  mDblAsSingleClick = true;
}

void ISwitchControlBase::OnInit() {
  if (const iplug::IParam* param = GetParam(0)) {
    mNumStates = static_cast<int>(param->GetMax() - param->GetMin()) + 1;
    mStateDisabled.assign(static_cast<size_t>(mNumStates > 0 ? mNumStates : 0), 0);
  }
}

void ISwitchControlBase::OnMouseDown(float, float, const IMouseMod&) {
  if (mNumStates == 2) {
    SetValue(GetValue(0) == 0. ? 1. : 0., 0);
  } else if (mNumStates > 2) {
    double v = GetValue(0) + 1.0 / (mNumStates - 1);
    if (v > 1.) v = 0.;
    SetValue(v, 0);
  }
  mMouseDown = true;
  SetDirty(true);
}

void ISwitchControlBase::OnMouseUp(float, float, const IMouseMod&) {
  mMouseDown = false;
  SetDirty(false);
}

}  // namespace igraphics
