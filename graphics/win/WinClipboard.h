// Backs IGraphics::GetTextFromClipboard and IGraphics::SetTextInClipboard: the system
// clipboard's Unicode text, as UTF-8.
#pragma once
#include <windows.h>

#include "IPlug/TextBuffer.h"

namespace igraphics {

// The clipboard's text in out. False, with out "", when the clipboard holds no text (an image,
// say) or cannot be opened. UI thread.
bool WinGetTextFromClipboard(iplug::TextBuffer& out);

// Replaces the clipboard's content with the text (owner: the host's top-level window, or
// null). An empty text only empties the clipboard. True when a text was placed. UI thread.
bool WinSetTextInClipboard(HWND owner, const char* text);

}  // namespace igraphics
