#pragma once
#include <vector>

#include "graphics/IControl.h"

namespace igraphics {

// Click-to-step input: each press moves to the next state and wraps after the last.
// A double click counts as a second press.
class ISwitchControlBase : public IControl {
public:
  ISwitchControlBase(const IBounds& bounds, int paramIdx = kNoParameter, IActionFunction actionFunc = nullptr,
                     int numStates = 2);

  void OnInit() override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;

  int GetNumStates() const { return mNumStates; }

protected:
  int mNumStates;
  std::vector<uint8_t> mStateDisabled;
  bool mMouseDown = false;
};

}  // namespace igraphics
