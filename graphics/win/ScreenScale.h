#pragma once
#include "graphics/win/WinInclude.h"

namespace igraphics {

// Device pixels per logical unit of the monitor a window is on: its DPI / 96, or 1.0 where
// the system has no GetDpiForWindow (looked up in user32 once, at the first call).
// UI thread.
float ScaleForWindow(HWND window);

}  // namespace igraphics
