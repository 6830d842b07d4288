// The platform services as a platform answers that offers none of them (the off-screen
// editor; dialogs and menus on Linux): nothing is shown, nothing is chosen, and a completion
// still runs once with that result, so a caller waiting for it goes on.
#include "graphics/IGraphics.h"

namespace igraphics {

void IGraphics::CreatePlatformTextEntry(int, const ITextStyle&, const IBounds&, int, const char*) {}

IPopupMenu* IGraphics::CreatePlatformPopupMenu(IPopupMenu&, const IBounds&, bool& isAsync) {
  isAsync = false;
  return nullptr;
}

bool IGraphics::GetTextFromClipboard(iplug::TextBuffer& str) {
  str.Set("");
  return false;
}

bool IGraphics::SetTextInClipboard(const char*) { return false; }

int IGraphics::ShowMessageBox(const char*, const char*, int, MessageBoxFunc done) {
  if (done) done(0);
  return 0;
}

void IGraphics::PromptForFile(iplug::TextBuffer& fileName, iplug::TextBuffer& path, int, const char*,
                              FileDialogFunc done) {
  fileName.Set("");
  if (done) done(fileName, path);
}

void IGraphics::PromptForDirectory(iplug::TextBuffer& dir, FileDialogFunc done) {
  dir.Set("");
  if (done) done(iplug::TextBuffer(), dir);
}

bool IGraphics::PromptForColour(IColor& color, const char*, ColourDialogFunc done) {
  if (done) done(color, false);
  return false;
}

bool IGraphics::OpenURL(const char*, const char*, const char*, const char*) { return false; }

bool IGraphics::RevealPathInExplorer(const char*, bool) { return false; }

}  // namespace igraphics
