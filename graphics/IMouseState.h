#pragma once
#include <cstdint>

namespace igraphics {

// Buttons and modifiers of one pointer event, as controls receive them.
struct IMouseMod {
  bool L = false;  // left button
  bool R = false;  // right button
  bool S = false;  // shift
  bool C = false;  // control
  bool A = false;  // alt
  int64_t mTouchID = 0;  // 0 is the mouse
  float mTouchRadius = 0.f;
};

// One pointer event as the platform delivers it, in logical units.
struct IMouseState {
  float x = 0.f;
  float y = 0.f;
  float dX = 0.f;  // movement since the pointer's last event, for drags
  float dY = 0.f;
  IMouseMod ms;
};

}  // namespace igraphics
