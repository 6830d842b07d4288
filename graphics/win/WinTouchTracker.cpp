#include "graphics/win/WinTouchTracker.h"

namespace igraphics {

void WinTouchTracker::Add(DWORD flags, IMouseState state, Lists& out) {
  const int64_t id = state.ms.mTouchID;
  if (flags & TOUCHEVENTF_DOWN) {
    mStates[id] = state;
    out.mDown.push_back(state);
  } else if (flags & TOUCHEVENTF_UP) {
    mStates.erase(id);
    out.mUp.push_back(state);
  } else if (flags & TOUCHEVENTF_MOVE) {
    if (auto it = mStates.find(id); it != mStates.end()) {
      state.dX = state.x - it->second.x;
      state.dY = state.y - it->second.y;
      it->second = state;
    } else {
      mStates[id] = state;
    }
    out.mDrag.push_back(state);
  }
}

}  // namespace igraphics
