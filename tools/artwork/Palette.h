#pragma once
#include "Colour.h"

namespace artwork::palette {

// A graphite faceplate with warm off-white legends and one brass accent, the colours of
// the back-lit meters repeated in the lamps so the panel reads as one piece of hardware.
constexpr Colour kPanelTop = Colour::Hex(0x34363a);
constexpr Colour kPanelBottom = Colour::Hex(0x27292c);
constexpr Colour kPanelInset = Colour::Hex(0x1f2124);
constexpr Colour kEdgeLight = Colour::Hex(0x55585d);
constexpr Colour kEdgeDark = Colour::Hex(0x0e0f10);

constexpr Colour kLegend = Colour::Hex(0xebe5d6);
constexpr Colour kLegendDim = Colour::Hex(0xa9a497);
constexpr Colour kScale = Colour::Hex(0xcfc9bb);
constexpr Colour kAccent = Colour::Hex(0xd9a546);
constexpr Colour kAccentDeep = Colour::Hex(0x9c6f22);

constexpr Colour kMeterFaceHot = Colour::Hex(0xf7ecce);
constexpr Colour kMeterFaceCool = Colour::Hex(0xd9c79c);
constexpr Colour kMeterInk = Colour::Hex(0x1c1a17);
constexpr Colour kMeterRed = Colour::Hex(0xb8332a);

constexpr Colour kKnobBody = Colour::Hex(0x17181a);
constexpr Colour kKnobTop = Colour::Hex(0x2c2d30);
constexpr Colour kPointer = Colour::Hex(0xfaf6ec);

constexpr Colour kLampGreen = Colour::Hex(0x6fe08a);
constexpr Colour kLampAmber = Colour::Hex(0xffb43c);
constexpr Colour kLampOff = Colour::Hex(0x3a3b3d);

constexpr Colour kScrew = Colour::Hex(0x9a9ca0);

}  // namespace artwork::palette
