#pragma once
#include "graphics/IKeyPress.h"

#include <X11/Xlib.h>

namespace igraphics {

// The key codes an IKeyPress carries are the Windows virtual-key codes (what controls and
// hosts written for the framework compare against), so an X key symbol is named by the
// virtual key of the same key: letters and digits by their upper-case ASCII code, the
// function, cursor, editing, keypad and modifier keys by their VK_ values. Keys without
// one give 0.
int VirtualKeyForKeySym(KeySym sym);

// A key event as the editor receives it: XLookupString's text (at most one character,
// Latin-1, given as UTF-8), the virtual key of its symbol and the modifiers of the event.
// False when the event spells more than one character (a composed sequence), which the
// editor does not take.
bool TranslateKeyEvent(XKeyEvent& event, IKeyPress& key);

}  // namespace igraphics
