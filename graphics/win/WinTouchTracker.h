// Backs the editor window's WM_TOUCH handling: which touches went down, moved or came up.
#pragma once
#include "graphics/win/WinInclude.h"

#include <unordered_map>
#include <vector>

#include "graphics/IMouseState.h"

namespace igraphics {

// The touches of one editor window between their down and up inputs: the last state of each
// touch by its identifier, from which a move learns how far it went. One WM_TOUCH message can
// carry several inputs; they are sorted into the lists the graphics context takes, in the
// message's order within each list.
//
// Threads: the editor's UI thread.
class WinTouchTracker {
public:
  struct Lists {
    std::vector<IMouseState> mDown;
    std::vector<IMouseState> mUp;
    std::vector<IMouseState> mDrag;
    void Clear() { mDown.clear(), mUp.clear(), mDrag.clear(); }
  };

  // One input: its TOUCHEVENTF_ flags and its state (position in logical units, touch id in
  // ms.mTouchID). A down is remembered, an up forgotten; a move gets dX, dY from the touch's
  // remembered state (0 when the touch is unknown) and is remembered in its place.
  void Add(DWORD flags, IMouseState state, Lists& out);
  // The window went: no touch is down any more.
  void Reset() { mStates.clear(); }
  int NTouchesDown() const { return static_cast<int>(mStates.size()); }

private:
  std::unordered_map<int64_t, IMouseState> mStates;
};

}  // namespace igraphics
