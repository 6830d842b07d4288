#pragma once
#include "Canvas.h"
#include "PanelLayout.h"
#include "Typesetter.h"

#include <optional>

namespace artwork {

// Draws the two-state switches: illuminated push buttons for "Bypass" and "External
// Sidechain", and the slim lamp bar for "Oversample". Frame 0 shows value 0.
class SwitchPainter {
public:
  SwitchPainter(const StripSpec& strip, const Typesetter& type);

  void PaintFrame(Canvas& frame, int value) const;
  void PaintStrip(Canvas& strip) const;

private:
  struct Lamp {
    std::optional<Colour> colour;  // unlit when empty
    const char* legend;
  };
  Lamp LampFor(int value) const;
  void PaintButton(Canvas& frame, const Lamp& lamp, bool pressed) const;
  void PaintBar(Canvas& frame, bool on) const;

  const StripSpec& mStrip;
  const Typesetter& mType;
};

}  // namespace artwork
