#pragma once
#include <functional>

#include "IPlug/TextBuffer.h"
#include "graphics/IColor.h"

namespace igraphics {

// What the platform's prompts and message box call when they close: exactly once, with the
// result, also when the user cancels or no prompt can be shown (then with what "nothing
// chosen" gives: an empty file name or directory, chosen false, the button 0). They run on
// the editor's UI thread after the prompt has let go of the pointer, as the last thing the
// prompt does.

// The chosen file name (the full path; "" when nothing was chosen, always "" for a folder
// prompt) and directory.
using FileDialogFunc = std::function<void(const iplug::TextBuffer& fileName, const iplug::TextBuffer& directory)>;
// The colour (the chosen one, or the start colour unchanged) and whether one was chosen.
using ColourDialogFunc = std::function<void(const IColor& colour, bool chosen)>;
// The button that closed the box (the system's code), 0 when no box could be shown.
using MessageBoxFunc = std::function<void(int button)>;

}  // namespace igraphics
