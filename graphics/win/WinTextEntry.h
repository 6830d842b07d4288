// Backs IGraphics::CreatePlatformTextEntry on Windows: the in-place edit box in which a
// parameter's value is typed.
#pragma once
#include "graphics/win/WinInclude.h"

#include <functional>
#include <string>

#include "IPlug/IParam.h"
#include "graphics/IBounds.h"
#include "graphics/ITextStyle.h"

namespace igraphics {

// A system "EDIT" child of the editor window over the control being edited, in the control's
// text style (the cached platform font of the style at the editor's scale, its edit colours
// and alignment), holding at first the parameter's display text, all selected.
//
// The box only records what the user asked for in its state; the editor's redraw tick acts on
// it (commit or cancel within one tick) and closes the box:
//   kIdle     nothing pending;
//   kFocused  the box got the keyboard focus;
//   kPainted  the editor painted a frame around the open box;
//   kCancel   Escape, a wheel turn in the editor, or a press in the editor while focused;
//   kCommit   Return, the box losing the focus, or a press in the editor otherwise.
// While a parameter is edited, characters it cannot read are refused as they are typed
// (TextEntryFilter).
//
// Threads: the editor's UI thread.
class WinTextEntry {
public:
  enum EState { kIdle = 0, kFocused = 1, kPainted = 2, kCancel = 3, kCommit = 4 };
  static constexpr int kControlID = 99;
  // An initial text needing more UTF-16 units than this (terminator included) starts empty.
  static constexpr int kMaxInitialUnits = 32;
  // Units of text a commit reads from the box.
  static constexpr int kMaxReadUnits = 256;

  // beforeMessage runs first for every message the box receives (the editor hides its
  // tooltip there).
  explicit WinTextEntry(std::function<void()> beforeMessage = {}) : mBeforeMessage(std::move(beforeMessage)) {}
  ~WinTextEntry() { Close(); }
  WinTextEntry(const WinTextEntry&) = delete;
  WinTextEntry& operator=(const WinTextEntry&) = delete;

  // Opens the box over bounds (logical units, scale = pixels per unit) with the keyboard
  // focus. param (may be null) chooses the character filter. False when a box is open
  // already or none could be made.
  bool Open(HWND parent, HINSTANCE instance, const iplug::IParam* param, const ITextStyle& style,
            const IBounds& bounds, float scale, int maxLength, const char* text);
  // Closes the box (giving the focus back to the editor when the box had it); the state
  // returns to kIdle.
  void Close();

  bool IsOpen() const { return mWnd != nullptr; }
  HWND GetWindow() const { return mWnd; }
  HFONT GetFont() const { return mFont; }
  const IBounds& GetBounds() const { return mBounds; }
  int GetState() const { return mState; }
  void SetState(int state) { mState = state; }
  // What the box holds, as UTF-8 (at most kMaxReadUnits units of it).
  std::string ReadText() const;
  // Answers the editor window's WM_CTLCOLOREDIT: the style's edit colours, opaque.
  LRESULT Colour(HDC dc) const;

private:
  static LRESULT CALLBACK EditProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

  std::function<void()> mBeforeMessage;
  HWND mWnd = nullptr;
  HWND mParent = nullptr;
  WNDPROC mSystemProc = nullptr;
  HFONT mFont = nullptr;
  const iplug::IParam* mParam = nullptr;
  ITextStyle mStyle;
  IBounds mBounds;
  int mState = kIdle;
};

}  // namespace igraphics
