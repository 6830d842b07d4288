// Backs IGraphics::PromptForColour: the system's colour chooser.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <string>

#include "graphics/IColor.h"

namespace igraphics {

using ColorChooserFunc = std::function<void(const IColor& color)>;

// The colour dialog opened on a colour, fully open, with a table of 16 custom colours that the
// process keeps between prompts; its title is the caption (the system's own when the caption
// is empty).
// Threads: the editor's UI thread.
class WinColorChooser {
public:
  WinColorChooser(HWND owner, const IColor& start, const char* caption);
  WinColorChooser(const WinColorChooser&) = delete;
  WinColorChooser& operator=(const WinColorChooser&) = delete;

  const CHOOSECOLORW& GetSetup() const { return mSetup; }
  // Modal. True on OK; the chosen colour is then GetChosen().
  bool Run();
  // The start colour with red, green and blue of the dialog's result; alpha is kept.
  IColor GetChosen() const;

private:
  static UINT_PTR CALLBACK Hook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

  IColor mStart;
  std::wstring mCaption;
  CHOOSECOLORW mSetup{};
};

// The whole prompt: false at once without an owner window; otherwise on OK the colour takes
// the chosen red, green and blue, done runs with it and the result is true. UI thread; modal.
bool WinPromptForColour(HWND owner, IColor& color, const char* caption, const ColorChooserFunc& done = {});

}  // namespace igraphics
