#include "graphics/win/WinClipboard.h"

#include <cstring>
#include <string>

#include "graphics/AssignText.h"
#include "graphics/Utf16Text.h"

namespace igraphics {

namespace {

// Another program (or the system's clipboard bridge) may hold the clipboard for a moment.
bool OpenClipboardPatiently(HWND owner) {
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (OpenClipboard(owner)) return true;
    Sleep(5);
  }
  return false;
}

std::string ClipboardText() {
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (!data) return {};
  const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
  if (!text) return {};
  // The block need not hold a terminator: never read past it.
  std::string utf8 = ToUtf8(text, static_cast<int>(GlobalSize(data) / sizeof(wchar_t)));
  GlobalUnlock(data);
  return utf8;
}

}  // namespace

bool WinGetTextFromClipboard(iplug::TextBuffer& out) {
  AssignText(out, "");
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboardPatiently(nullptr)) return false;
  const std::string text = ClipboardText();
  CloseClipboard();
  AssignText(out, text.c_str());
  return true;
}

bool WinSetTextInClipboard(HWND owner, const char* text) {
  if (!OpenClipboardPatiently(owner)) return false;
  EmptyClipboard();
  bool placed = false;
  if (text && *text) {
    const std::wstring wide = ToWide(text);
    const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
      if (void* block = GlobalLock(memory)) {
        std::memcpy(block, wide.c_str(), bytes);
        GlobalUnlock(memory);
        placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
      }
      if (!placed) GlobalFree(memory);  // the clipboard owns it only once placed
    }
  }
  CloseClipboard();
  return placed;
}

}  // namespace igraphics
