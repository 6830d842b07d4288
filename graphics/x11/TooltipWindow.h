#pragma once
#include <X11/Xlib.h>

#include <string>

namespace igraphics {

// The editor's tooltip: X has none of its own, so a small window outside the window
// manager's care (override-redirect) shows the text in the server's default font on a pale
// background just below the pointer, within the screen. Lines wrap at kMaxWidth pixels, as
// the Windows tooltip's maximum tip width does.
// The editor's UI thread, on the editor's connection.
class TooltipWindow {
public:
  static constexpr int kMaxWidth = 250;

  explicit TooltipWindow(Display* display);
  ~TooltipWindow();
  TooltipWindow(const TooltipWindow&) = delete;
  TooltipWindow& operator=(const TooltipWindow&) = delete;

  // Shows text at (rootX, rootY) pixels of the screen; an empty text hides it.
  void Show(const char* text, int rootX, int rootY);
  void Hide();
  bool IsShown() const { return mShown; }
  Window GetWindow() const { return mWindow; }
  // Draws the text again (the window was exposed).
  void Paint();

private:

  Display* mDisplay;
  Window mWindow = 0;
  GC mGC = nullptr;
  XFontStruct* mFont = nullptr;
  std::string mText;
  bool mShown = false;
};

}  // namespace igraphics
