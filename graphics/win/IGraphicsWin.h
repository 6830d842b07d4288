#pragma once
#include "graphics/win/WinInclude.h"

#include <shellapi.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "graphics/FramePacer.h"
#include "graphics/nanovg/IGraphicsNanoVG.h"
#include "graphics/nanovg/StandInFrameBuffer.h"
#include "graphics/win/VBlankThread.h"
#include "graphics/win/WinFontCaches.h"
#include "graphics/win/WinTextEntry.h"
#include "graphics/win/WinTopLevelWindow.h"
#include "graphics/win/WinTouchTracker.h"

namespace igraphics {

class OffscreenGLContext;

// The editor on Windows: a child window of the host's window with its own OpenGL context, in
// which the NanoVG back end draws. The window is paced by the display (a vertical-blank
// thread posting VBlankThread::kMessage) where the system offers that, else by a window timer
// (kTimerID); every tick asks the graphics context for its dirty areas, invalidates them in
// pixels and paints at once, and the paint draws the update region. The screen scale follows
// the monitor's DPI: the window opens at a whole-number scale and takes the exact one on the
// first tick without mouse capture. Resizing goes to the window and, unless the host resized
// them already, to its parent and grandparent.
//
// Input (IGraphicsWinInput.cpp): pointer messages become logical-unit events of the graphics
// context, with the window's mouse capture held while a button is down; pen and touch reach
// it as WM_TOUCH only; the wheel counts whole notches; keys the editor does not take go on to
// the host's top-level window, so its shortcuts (the transport's space bar) keep working; a
// hidden, locked cursor stays where the drag began and reappears there. The in-place text
// edit box (WinTextEntry) commits or cancels on the redraw tick after the user asked.
// The platform services (menus, dialogs, clipboard, message box, links, fonts) are the
// system's, from their own files.
//
// Threads: everything on the thread that opened the window (the host's UI thread); the
// vertical-blank thread only posts messages to the window.
class IGraphicsWin : public IGraphicsNanoVG {
public:
  static constexpr UINT_PTR kTimerID = 2;

  IGraphicsWin(IGEditorDelegate& dlg, int w, int h, int fps, float scale);
  ~IGraphicsWin() override;

  // ---- Window (UI thread).
  // pParent is the host's HWND. Returns the editor's HWND, or null when no window (or no
  // OpenGL context able to draw it) could be made; the editor then stays closed.
  void* OpenWindow(void* pParent) override;
  void CloseWindow() override;
  void* GetWindow() override { return mPlugWnd; }
  bool WindowIsOpen() override { return mPlugWnd != nullptr; }
  void PlatformResize(bool parentHasResized) override;
  void ActivateGLContext() override;
  void DeactivateGLContext() override;
  void DrawResize() override;
  const char* GetPlatformAPIName() override { return "win32"; }

  // ---- Fonts: the system's, by family name too, registered with GDI (the edit box uses
  // them).
  std::unique_ptr<PlatformFont> LoadPlatformFont(const char* fontID, const char* fontName, int style) override;
  std::unique_ptr<PlatformFont> LoadPlatformFont(const char* fontID, const void* data, int dataSize) override;
  std::unique_ptr<PlatformFont> LoadPlatformFont(const char* fontID, const char* fileNameOrResID) override;
  void CachePlatformFont(const char* fontID, std::unique_ptr<PlatformFont> font) override;

  // ---- Pointer, cursor and text entry (UI thread).
  void GetMouseLocation(float& x, float& y) const override;
  // Moves the system cursor to (x, y) in logical units; nothing for pen or touch input.
  void MoveMouseCursor(float x, float y) override;
  int SetMouseCursor(int cursorType) override;
  bool PlatformSupportsMultiTouch() const override;
  void CreatePlatformTextEntry(int paramIdx, const ITextStyle& text, const IBounds& bounds, int length,
                               const char* str) override;
  void CancelPlatformTextEntry() override { mTextEntry.SetState(WinTextEntry::kCancel); }
  // The touches of one WM_TOUCH message (screen positions in hundredths of a pixel), handed
  // to the graphics context as its down, up and drag lists.
  void OnTouchInputs(const TOUCHINPUT* inputs, int n);

  // ---- Platform services (UI thread). The dialogs are modal; when one closes, the pointer
  // capture is dropped and then the completion runs, once, also on cancel or without a window.
  bool GetTextFromClipboard(iplug::TextBuffer& str) override;
  bool SetTextInClipboard(const char* str) override;
  int ShowMessageBox(const char* str, const char* caption, int type, MessageBoxFunc done) override;
  void PromptForFile(iplug::TextBuffer& fileName, iplug::TextBuffer& path, int action, const char* ext,
                     FileDialogFunc done) override;
  void PromptForDirectory(iplug::TextBuffer& dir, FileDialogFunc done) override;
  bool PromptForColour(IColor& color, const char* str, ColourDialogFunc done) override;
  bool OpenURL(const char* url, const char* msgWindowTitle, const char* confirmMsg,
               const char* errMsgOnFailure) override;
  bool RevealPathInExplorer(const char* path, bool select) override;
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IBounds& bounds, bool& isAsync) override;

  // ---- For the host layer, the snapshot and tests (UI thread).
  // Chooses the redraw clock of the next OpenWindow: the display-paced thread (the default
  // on Windows 8 and later) or the window timer.
  void SetVBlankMode(bool vblank) { mVBlankMode = vblank; }
  bool VBlankMode() const { return mVBlankMode; }
  const VBlankThread& GetVBlankThread() const { return mVBlank; }
  // Presents the editor's image in the window and reads the pixels back from the window's own
  // framebuffer before they are shown: rows from the top, RGBA with premultiplied alpha. With
  // redrawAll every control is drawn first; without, the image is what the frames so far made.
  bool ReadWindowPixels(std::vector<uint8_t>& rgba, int& width, int& height, bool redrawAll = true);
  // Paints that drew a frame, and redraw ticks handled, since the window opened.
  int FramesDrawn() const { return mFramesDrawn; }
  int TicksHandled() const { return mTicks; }
  // The window's own OpenGL context (null where the editor draws off-screen, under Wine).
  HGLRC GetGLContext() const { return mHGLRC; }
  bool PresentsThroughGDI() const { return mPresentThroughGDI; }
  // Chooses, for the next OpenWindow, between the window's own context (what Windows gets)
  // and the off-screen context presented through GDI (what Wine gets).
  void SetPresentThroughGDI(bool gdi) { mPresentThroughGDI = gdi; }
  HWND GetTooltipWindow() const { return mTooltipWnd; }
  const WinTextEntry& GetTextEntry() const { return mTextEntry; }
  bool IsCursorLocked() const { return mCursorLocked; }
  const WinTouchTracker& GetTouches() const { return mTouches; }
  // Why the last OpenWindow failed ("" when it did not).
  const char* GetOpenError() const { return mOpenError.c_str(); }

  static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
  void PlatformHideMouseCursor(bool hide, bool lock) override;

private:
  LRESULT HandleMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void OnCreate(HWND hWnd);
  // One tick of the redraw clock: counter 0 from the timer, else the vertical-blank counter.
  void OnRedrawTick(int counter);
  // A commit or cancel the edit box asked for, or the reset of its other states; false when
  // nothing was pending and the tick may draw.
  bool ConsumeTextEntryState();
  void PaintAroundTextEntry();

  // ---- Input messages (IGraphicsWinInput.cpp). Each returns the message's result.
  static bool IsInputMessage(UINT msg);
  LRESULT OnInputMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT OnButtonDown(const IMouseState& state);
  LRESULT OnButtonUp(const IMouseState& state);
  LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
  LRESULT OnWheel(WPARAM wParam, LPARAM lParam);
  LRESULT OnMouseHover();
  LRESULT OnDropFiles(HDROP drop);
  LRESULT OnTouch(WPARAM wParam, LPARAM lParam);
  LRESULT OnKey(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Another window took the mouse capture while a control held the pointer: the control is
  // released as if the button came up.
  void OnCaptureLost(HWND newOwner);
  // The state of a mouse message; its position becomes the last pointer position.
  IMouseState MouseState(WPARAM wParam, LPARAM lParam);
  void ReleaseWindowCapture();
  void HideTooltip();
  void OnPaint();
  // Copies a painted pixel area from the back buffer to the window through GDI (see
  // mPresentThroughGDI).
  void PresentThroughGDI(HDC dc, const RECT& area);
  bool HasGLContext() const { return mHGLRC != nullptr || mOffscreen != nullptr; }
  HINSTANCE Instance() { return static_cast<HINSTANCE>(GetWinModuleHandle()); }
  // Invalidates the dirty areas of the graphics context in pixels; false when nothing is dirty.
  bool InvalidateDirtyAreas();
  bool CreateGLContext(std::string& error);
  void DestroyGLContext();
  void CreateTooltipWindow();
  void DestroyTooltipWindow();
  void StopRedrawClock();

  HWND mPlugWnd = nullptr;
  HWND mParentWnd = nullptr;
  HDC mHDC = nullptr;
  HGLRC mHGLRC = nullptr;
  HDC mPrevHDC = nullptr;
  HGLRC mPrevHGLRC = nullptr;
  int mGLActivations = 0;  // nesting depth of ActivateGLContext
  HWND mTooltipWnd = nullptr;
  bool mVBlankMode;
  VBlankThread mVBlank;
  FramePacer mPacer;
  bool mTimerRunning = false;
  // Wine (8.x) cannot show OpenGL drawn into a child window: the child's device context has
  // no X drawable to present to, and GDI output over such a window is clipped away. There the
  // editor draws with an off-screen context into a framebuffer object of the window's size
  // and every painted area is copied to the (GL-free) window through GDI. A real Windows
  // system draws into the window's own context and never takes this path.
  bool mPresentThroughGDI;
  std::unique_ptr<OffscreenGLContext> mOffscreen;
  StandInFrameBuffer mPresentFrameBuffer;
  int mFramesDrawn = 0;
  int mTicks = 0;
  std::string mOpenError;

  // ---- Input.
  float mLastX = 0.f;  // last pointer position, logical units
  float mLastY = 0.f;
  bool mCursorLocked = false;
  float mHiddenCursorX = 0.f;  // where a hidden cursor reappears, logical units
  float mHiddenCursorY = 0.f;
  bool mPenOrTouch = false;  // the current mouse message was made from pen or touch input
  bool mReleasingCapture = false;
  bool mTooltipShown = false;
  int mTooltipIdx = -1;
  WinTouchTracker mTouches;
  WinTextEntry mTextEntry{[this] { HideTooltip(); }};

  // ---- Services.
  WinTopLevelWindow mTopLevel;
  WinFontCaches::User mFontCacheUser;  // the process-wide font caches live while an editor does
};

}  // namespace igraphics
