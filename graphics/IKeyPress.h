#pragma once
#include "IPlug/IKeyPress.h"

namespace igraphics {

// The graphics layer forwards the framework's key events unchanged.
using IKeyPress = iplug::IKeyPress;

}  // namespace igraphics
