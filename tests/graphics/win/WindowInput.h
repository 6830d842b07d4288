#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace wintest {

// Real window messages, as the system sends them for a mouse and a keyboard, sent straight to
// a window. Positions are client pixels; keys are MK_ flags (MK_SHIFT, MK_CONTROL); the left
// button's own flag is added where the button is down.
void Press(HWND window, int x, int y, WPARAM keys = 0);
void DragTo(HWND window, int x, int y, WPARAM keys = 0);
void Release(HWND window, int x, int y, WPARAM keys = 0);
void Click(HWND window, int x, int y);
// Down, up, double click, up: the messages of a double click on a window class with
// CS_DBLCLKS.
void DoubleClick(HWND window, int x, int y);
// A move with no button down.
void Hover(HWND window, int x, int y);
// A wheel turn of `delta` units (120 a notch) with the pointer at client (x, y); the message
// carries screen coordinates.
void Wheel(HWND window, int x, int y, int delta, WPARAM keys = 0);
void Key(HWND window, UINT message, WPARAM vk);
void Char(HWND window, wchar_t c);

// Counts the system's show-cursor counter of this thread (0: shown, below: hidden).
int CursorShowCount();

// Records the key messages a window receives, by replacing its window procedure (the
// original still runs) until destroyed.
class KeyRecorder {
public:
  explicit KeyRecorder(HWND window);
  ~KeyRecorder();
  KeyRecorder(const KeyRecorder&) = delete;
  KeyRecorder& operator=(const KeyRecorder&) = delete;

  // "down 32", "up 32" ... in arrival order.
  const std::vector<std::string>& Keys() const { return mKeys; }

private:
  static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND mWindow;
  WNDPROC mOriginal;
  std::vector<std::string> mKeys;
};

}  // namespace wintest
