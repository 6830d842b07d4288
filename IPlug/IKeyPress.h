#pragma once

namespace iplug {

// A key event as the platform delivers it: the character (UTF-8), the virtual key code
// and the modifier state. The framework only forwards it.
struct IKeyPress {
  IKeyPress() = default;
  IKeyPress(const char* utf8, int vk, bool shift = false, bool ctrl = false, bool alt = false)
      : VK(vk), S(shift), C(ctrl), A(alt) {
    int i = 0;
    for (; utf8 && utf8[i] && i < 4; ++i) this->utf8[i] = utf8[i];
    this->utf8[i] = '\0';
  }

  char utf8[5] = {};
  int VK = 0;
  bool S = false;
  bool C = false;
  bool A = false;
};

}  // namespace iplug
