// Backs IGraphics::ShowMessageBox: the system's message box.
#pragma once
#include <windows.h>

#include <functional>

#include "graphics/PromptCompletion.h"

namespace igraphics {

// Shows a modal message box owned by owner (the host's top-level window, WinTopLevelWindow;
// null for none) with UTF-8 text and caption and a box type (kMB_OK ... kMB_RETRYCANCEL,
// the system's own codes). Returns the button the user pressed (IDOK, IDCANCEL, IDYES ...; 0
// when the box could not be shown), after done has run with it. UI thread; modal.
int WinShowMessageBox(HWND owner, const char* text, const char* caption, int type, const MessageBoxFunc& done = {});

}  // namespace igraphics
