// Backs IGraphics::PromptForFile and IGraphics::PromptForDirectory: the system's file open,
// file save and folder choosers.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <string>

#include "IPlug/TextBuffer.h"
#include "graphics/PromptCompletion.h"

namespace igraphics {

// The filter of a file dialog from a space-separated extension list without dots
// ("wav aif"): "*.wav;*.aif" as both the description and the pattern, and the first
// extension ("wav") as the default. An empty list gives no filter and no default.
struct WinFileFilter {
  std::wstring mFilter;      // description NUL pattern NUL NUL, or empty
  std::wstring mDefaultExt;  // without the dot

  static WinFileFilter FromExtensionList(const char* extensions);
};

// One open or save dialog: its setup from the caller's values, then the modal run.
// Threads: the editor's UI thread.
class WinFileDialog {
public:
  // action: kFileOpen or kFileSave. fileName (a start name of at most MAX_PATH - 1 UTF-16
  // units; a longer one starts empty) and directory are UTF-8.
  WinFileDialog(HWND owner, int action, const char* fileName, const char* directory, const char* extensions);
  WinFileDialog(const WinFileDialog&) = delete;
  WinFileDialog& operator=(const WinFileDialog&) = delete;

  const OPENFILENAMEW& GetSetup() const { return mSetup; }
  // Modal. True when a file was chosen.
  bool Run();
  // The chosen full path (after Run), as UTF-8.
  std::string GetChosenPath() const;

  // A chosen path split for the caller: the full path becomes the file name, its drive and
  // directory (with the trailing separator) the directory.
  static void SplitChosenPath(const char* path, iplug::TextBuffer& fileName, iplug::TextBuffer& directory);

private:
  bool mSave;
  OPENFILENAMEW mSetup{};
  wchar_t mFile[MAX_PATH] = {};
  std::wstring mDirectory;
  WinFileFilter mFilter;
};

// The whole file prompt: with no owner window the file name becomes "" and nothing else
// happens; otherwise the dialog runs, the choice (or "" when cancelled) lands in fileName and
// directory, and done runs with them. UI thread; modal.
void WinPromptForFile(HWND owner, iplug::TextBuffer& fileName, iplug::TextBuffer& directory, int action,
                      const char* extensions, const FileDialogFunc& done = {});

// The folder chooser ("Choose a Directory", with an edit box): the chosen folder followed by a
// backslash, or "" when cancelled, lands in directory, and done runs with an empty file name
// and it. UI thread; modal.
void WinPromptForDirectory(HWND owner, iplug::TextBuffer& directory, const FileDialogFunc& done = {});

}  // namespace igraphics
