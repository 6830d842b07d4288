// Backs IGraphics::OpenURL and IGraphics::RevealPathInExplorer: handing a web link or a
// file to the system's shell.
#pragma once
#include <windows.h>

#include <string>

namespace igraphics {

// Opens a link in the user's browser. With a confirmation text the user is asked first
// (yes/no box with the caption, owned by owner) and nothing opens unless the answer is yes.
// Without a network connection, or when the shell cannot open it, the error text (when given)
// is shown and the result is false. An empty link, or one longer than kMaxURL UTF-16 units,
// opens nothing. UI thread; modal while a box is shown.
bool WinOpenURL(HWND owner, const char* url, const char* caption, const char* confirmation, const char* error);
constexpr int kMaxURL = 4096;

// Shows a file in the system's file browser (selected in its folder with select, else the
// path itself opened). False for an empty path or when the browser cannot be started.
// UI thread.
bool WinRevealPathInExplorer(const char* path, bool select = true);

// The file browser's program, and the parameters it gets for a path: "/select," (with
// select) followed by the path in double quotes.
std::wstring ExplorerProgram();
std::wstring ExplorerParameters(const char* path, bool select);

}  // namespace igraphics
