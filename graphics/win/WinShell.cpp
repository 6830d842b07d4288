#include "graphics/win/WinShell.h"

#include <shellapi.h>
#include <wininet.h>

#include "graphics/Utf16Text.h"

namespace igraphics {

namespace {

// ShellExecute reports success with a value above 32.
bool Launched(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

}  // namespace

bool WinOpenURL(HWND owner, const char* url, const char* caption, const char* confirmation, const char* error) {
  const std::wstring title = ToWide(caption);
  if (confirmation && MessageBoxW(owner, ToWide(confirmation).c_str(), title.c_str(), MB_YESNO) != IDYES)
    return false;
  wchar_t link[kMaxURL] = {};
  const bool usable = Utf8ToUtf16(url, link, kMaxURL) > 0;
  DWORD connection = 0;
  if (usable && InternetGetConnectedState(&connection, 0) &&
      Launched(ShellExecuteW(owner, L"open", link, nullptr, nullptr, SW_SHOWNORMAL)))
    return true;
  if (error) MessageBoxW(owner, ToWide(error).c_str(), title.c_str(), MB_OK);
  return false;
}

std::wstring ExplorerProgram() {
  // The file browser lives in the Windows directory (not the system directory).
  wchar_t windows[MAX_PATH] = {};
  const UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return L"explorer.exe";
  return std::wstring(windows, n) + L"\\explorer.exe";
}

std::wstring ExplorerParameters(const char* path, bool select) {
  return (select ? L"/select,\"" : L"\"") + ToWide(path) + L"\"";
}

bool WinRevealPathInExplorer(const char* path, bool select) {
  if (!path || !*path) return false;
  return Launched(ShellExecuteW(nullptr, L"open", ExplorerProgram().c_str(), ExplorerParameters(path, select).c_str(),
                                nullptr, SW_SHOWNORMAL));
}

}  // namespace igraphics
