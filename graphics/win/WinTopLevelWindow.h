// Finds the owner that IGraphics::ShowMessageBox, IGraphics::OpenURL and
// IGraphics::SetTextInClipboard give the system: the host's top-level window.
#pragma once
#include <windows.h>

#include <string>

namespace igraphics {

// The host's top-level window, remembered for the life of the graphics context with its
// class name. With the editor's parent window it is found by walking GetParent up from that
// parent; without one (the editor is closed) the remembered window serves while it exists,
// and otherwise the first top-level window of this process with the remembered class.
// Threads: the editor's UI thread.
class WinTopLevelWindow {
public:
  // Null when there is none to be found.
  HWND Find(HWND parent);
  const std::wstring& GetRememberedClass() const { return mClassName; }

private:
  static BOOL CALLBACK OnTopLevelWindow(HWND window, LPARAM self);

  HWND mWindow = nullptr;
  std::wstring mClassName;
};

}  // namespace igraphics
