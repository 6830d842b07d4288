#pragma once
#include "graphics/IControl.h"
#include "graphics/IGraphicsConstants.h"

namespace igraphics {

// Knob input: a drag over the knob's height times the gearing sweeps the whole range
// (ten times finer with shift or control); the wheel moves one step of a stepped parameter.
class IKnobControlBase : public IControl {
public:
  IKnobControlBase(const IBounds& bounds, int paramIdx = kNoParameter, int direction = kVertical,
                   double gearing = 4.0);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override;
  void OnMouseWheel(float x, float y, const IMouseMod& mod, float d) override;
  virtual IBounds GetKnobDragBounds() const { return mTargetRECT; }

  int GetDirection() const { return mDirection; }
  double GetGearing() const { return mGearing; }
  void SetGearing(double gearing) { mGearing = gearing; }
  void SetHideCursorOnDrag(bool hide) { mHideCursorOnDrag = hide; }
  bool IsMouseDown() const { return mMouseDown; }

protected:
  bool mHideCursorOnDrag = true;
  int mDirection;
  double mGearing;
  bool mMouseDown = false;
  double mMouseDragValue = 0.;  // the unrounded value, so slow drags over steps still advance
};

}  // namespace igraphics
