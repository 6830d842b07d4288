#include "graphics/win/WinMessageBox.h"

#include "graphics/Utf16Text.h"

namespace igraphics {

int WinShowMessageBox(HWND owner, const char* text, const char* caption, int type, const MessageBoxFunc& done) {
  const int button = MessageBoxW(owner, ToWide(text).c_str(), ToWide(caption).c_str(), static_cast<UINT>(type));
  if (done) done(button);
  return button;
}

}  // namespace igraphics
