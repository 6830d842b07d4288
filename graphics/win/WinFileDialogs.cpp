#include "graphics/win/WinFileDialogs.h"

#include <ole2.h>
#include <shlobj.h>

#include <sstream>

#include "graphics/AssignText.h"
#include "graphics/IGraphicsConstants.h"
#include "graphics/Utf16Text.h"

namespace igraphics {

WinFileFilter WinFileFilter::FromExtensionList(const char* extensions) {
  WinFileFilter filter;
  std::istringstream words(extensions ? extensions : "");
  std::string patterns;
  std::string ext;
  while (words >> ext) {
    if (ext.front() == '.') ext.erase(0, 1);  // tolerated, though the list has no dots
    if (ext.empty()) continue;
    if (filter.mDefaultExt.empty()) filter.mDefaultExt = ToWide(ext.c_str());
    if (!patterns.empty()) patterns += ';';
    patterns += "*." + ext;
  }
  if (patterns.empty()) return filter;
  const std::wstring wide = ToWide(patterns.c_str());
  filter.mFilter = wide + L'\0' + wide + L'\0' + L'\0';
  return filter;
}

WinFileDialog::WinFileDialog(HWND owner, int action, const char* fileName, const char* directory,
                             const char* extensions)
    : mSave(action == kFileSave), mDirectory(ToWide(directory)), mFilter(WinFileFilter::FromExtensionList(extensions)) {
  Utf8ToUtf16(fileName, mFile, MAX_PATH);
  mSetup.lStructSize = sizeof(mSetup);
  mSetup.hwndOwner = owner;
  mSetup.lpstrFilter = mFilter.mFilter.empty() ? nullptr : mFilter.mFilter.c_str();
  mSetup.lpstrDefExt = mFilter.mDefaultExt.empty() ? nullptr : mFilter.mDefaultExt.c_str();
  mSetup.lpstrFile = mFile;
  mSetup.nMaxFile = MAX_PATH;
  mSetup.lpstrInitialDir = mDirectory.empty() ? nullptr : mDirectory.c_str();
  mSetup.Flags = mSave ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
}

bool WinFileDialog::Run() { return (mSave ? GetSaveFileNameW(&mSetup) : GetOpenFileNameW(&mSetup)) != FALSE; }

std::string WinFileDialog::GetChosenPath() const { return ToUtf8(mFile, MAX_PATH); }

void WinFileDialog::SplitChosenPath(const char* path, iplug::TextBuffer& fileName, iplug::TextBuffer& directory) {
  const std::string full = path ? path : "";
  const size_t sep = full.find_last_of("\\/");
  const size_t drive = full.find(':');
  size_t dirLength = 0;
  if (sep != std::string::npos) {
    dirLength = sep + 1;
  } else if (drive != std::string::npos) {
    dirLength = drive + 1;
  }
  AssignText(fileName, full.c_str());
  AssignText(directory, full.substr(0, dirLength).c_str());
}

void WinPromptForFile(HWND owner, iplug::TextBuffer& fileName, iplug::TextBuffer& directory, int action,
                      const char* extensions, const FileDialogFunc& done) {
  if (!owner) {
    AssignText(fileName, "");
    return;
  }
  WinFileDialog dialog(owner, action, fileName.Get(), directory.Get(), extensions);
  if (dialog.Run()) {
    WinFileDialog::SplitChosenPath(dialog.GetChosenPath().c_str(), fileName, directory);
  } else {
    AssignText(fileName, "");
  }
  if (done) done(fileName, directory);
}

void WinPromptForDirectory(HWND owner, iplug::TextBuffer& directory, const FileDialogFunc& done) {
  // The folder tree is a shell view: it needs OLE on this thread.
  const HRESULT ole = OleInitialize(nullptr);
  wchar_t display[MAX_PATH] = {};
  BROWSEINFOW setup{};
  setup.hwndOwner = owner;
  setup.pszDisplayName = display;
  setup.lpszTitle = L"Choose a Directory";
  setup.ulFlags = BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
  std::string chosen;
  if (PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&setup)) {
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(item, path)) chosen = ToUtf8(path, MAX_PATH) + "\\";
    CoTaskMemFree(item);
  }
  AssignText(directory, chosen.c_str());
  if (done) done(iplug::TextBuffer(), directory);
  if (SUCCEEDED(ole)) OleUninitialize();
}

}  // namespace igraphics
