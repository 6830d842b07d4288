#pragma once
#include <cstdint>

namespace igraphics {

// Alpha, red, green, blue, each 0..255.
struct IColor {
  int32_t A = 255;
  int32_t R = 0;
  int32_t G = 0;
  int32_t B = 0;

  constexpr IColor() = default;
  constexpr IColor(int32_t a, int32_t r, int32_t g, int32_t b) : A(a), R(r), G(g), B(b) {}
  bool operator==(const IColor&) const = default;
};

inline constexpr IColor kColorBlack{255, 0, 0, 0};
inline constexpr IColor kColorTranslucentBlack{128, 0, 0, 0};
inline constexpr IColor kColorFaintBlack{10, 0, 0, 0};
inline constexpr IColor kColorMidGrey{255, 127, 127, 127};
inline constexpr IColor kColorLightGrey{255, 240, 240, 240};
inline constexpr IColor kColorGrey{255, 200, 200, 200};
inline constexpr IColor kColorDarkGrey{255, 70, 70, 70};
inline constexpr IColor kColorWhite{255, 255, 255, 255};
inline constexpr IColor kColorRed{255, 255, 0, 0};
inline constexpr IColor kColorGreen{255, 0, 255, 0};
inline constexpr IColor kColorBlue{255, 0, 0, 255};
inline constexpr IColor kColorYellow{255, 255, 255, 0};
inline constexpr IColor kColorOrange{255, 255, 127, 0};
inline constexpr IColor kColorIndigo{255, 75, 0, 130};
inline constexpr IColor kColorViolet{255, 148, 0, 211};

// Host highlight colour codes: 0 red, 1 blue, 2 green, 3 yellow. Other codes keep `current`.
constexpr IColor HighlightColorForCode(int code, IColor current) {
  switch (code) {
    case 0: return kColorRed;
    case 1: return kColorBlue;
    case 2: return kColorGreen;
    case 3: return kColorYellow;
    default: return current;
  }
}

}  // namespace igraphics
