#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "graphics/FramePacer.h"
#include "graphics/nanovg/IGraphicsNanoVG.h"
#include "graphics/x11/VBlankThread.h"

namespace iplug {
class Timer;
}

// Xlib stays out of this header: its macros (Bool, None, Status ...) clash with the
// framework's names. Its handles are XIDs (unsigned long) and its event a union.
struct _XDisplay;
union _XEvent;

namespace igraphics {

class GLXWindowContext;
class TooltipWindow;

// The editor on Linux: an X window of its own (a child of the host's window, or a top-level
// window when the host gives none) with a GLX context, in which the NanoVG back end draws.
// The editor keeps its own connection to the X server, so the host's connection and its
// error handling are never touched. The window is paced by the display (a thread that waits
// for the vertical blank and sends the window a numbered ClientMessage, VBlankThread), or
// else by a run-loop timer; every tick asks the graphics context for its dirty areas and
// paints them at once, and Expose events paint what the server asks for. The screen scale
// follows the X resource Xft.dpi: the window opens at a whole-number scale and takes the
// exact one on the first tick without a pointer capture.
//
// Nothing on Linux delivers the editor's events to it by itself (there is no shared message
// loop as on Windows): the editor's thread runs them whenever it pumps the framework's run
// loop (iplug::TimerRunLoop::Pump), which the host binding does from the host's idle call
// (the LV2 UI's idle interface, the AAX GUI object's timer wake-up). ProcessEvents does the
// same at once.
//
// Input: buttons 1 to 3 press, drag (the pointer stays captured while a button is held) and
// release; a second press of the same button soon enough and near enough is a double click;
// wheel buttons 4 and 5 are one notch each; keys go through XLookupString, and keys the
// editor does not take go on to the host's top-level window. Native menus, dialogs, the
// clipboard, links, the file browser and the text edit box are not offered on Linux: they
// answer "nothing chosen", completions included (the product uses none of them).
//
// Threads: everything on the thread that opened the window; the vertical-blank thread only
// sends messages through a connection of its own.
class IGraphicsX11 : public IGraphicsNanoVG {
public:
  // Two presses of a button make a double click within this time and distance (the values
  // Windows uses by default).
  static constexpr int kDoubleClickMs = 500;
  static constexpr int kDoubleClickPixels = 4;
  // How long the pointer rests on a control before its tooltip shows.
  static constexpr int kHoverMs = 400;
  // How often the run loop looks at the editor's connection.
  static constexpr int kEventPumpMs = 4;

  IGraphicsX11(IGEditorDelegate& dlg, int w, int h, int fps, float scale);
  ~IGraphicsX11() override;

  // Whether an X display can be reached (DISPLAY names one that accepts a connection).
  static bool DisplayAvailable();

  // ---- Window (UI thread).
  // pParent is the host's X window id (null for a top-level window). Returns the editor's
  // window id, or null when no window (or no OpenGL context able to draw it) could be made;
  // the editor then stays closed.
  void* OpenWindow(void* pParent) override;
  void CloseWindow() override;
  void* GetWindow() override { return reinterpret_cast<void*>(static_cast<uintptr_t>(mWindow)); }
  bool WindowIsOpen() override { return mWindow != 0; }
  void PlatformResize(bool parentHasResized) override;
  void ActivateGLContext() override;
  void DeactivateGLContext() override;
  void DrawResize() override;
  const char* GetPlatformAPIName() override { return "x11"; }
  // Handles every event waiting on the editor's connection (ticks, paints, input).
  void ProcessEvents();
  // The file descriptor of the editor's own X connection while the window is open (-1 when
  // closed), for a host run loop that calls ProcessEvents when it becomes readable.
  int ConnectionFileDescriptor() const;

  // ---- Pointer and cursor.
  void GetMouseLocation(float& x, float& y) const override;
  void MoveMouseCursor(float x, float y) override;
  int SetMouseCursor(int cursorType) override;

  // ---- For the host layer, the snapshot and tests (UI thread).
  // Chooses the redraw clock of the next OpenWindow: the display-paced thread (the default)
  // or a run-loop timer at the frame rate.
  void SetVBlankMode(bool vblank) { mVBlankMode = vblank; }
  bool VBlankMode() const { return mVBlankMode; }
  const VBlankThread& GetVBlankThread() const { return mVBlank; }
  // Draws the editor's image into the window and reads the pixels back from the window's
  // back buffer before it is shown: rows from the top, RGBA with premultiplied alpha. With
  // redrawAll every control is drawn first; without, the image is what the frames so far made.
  bool ReadWindowPixels(std::vector<uint8_t>& rgba, int& width, int& height, bool redrawAll = true);
  // Frames painted, and redraw ticks handled, since the window opened.
  int FramesDrawn() const { return mFramesDrawn; }
  int TicksHandled() const { return mTicks; }
  bool TooltipShown() const;
  // Why the last OpenWindow failed ("" when it did not).
  const char* GetOpenError() const { return mOpenError.c_str(); }

protected:
  void PlatformHideMouseCursor(bool hide, bool lock) override;

private:
  // ---- Window and context (IGraphicsX11.cpp).
  bool CreateWindow(int x, int y, int w, int h, std::string& error);
  // An opening that failed with the GL context active: the window closes again; null.
  void* AbandonOpening();
  void SetFixedSizeHints(int w, int h);
  bool HasGLContext() const { return mGL != nullptr; }
  void StartRedrawClock();
  void StopRedrawClock();
  void ReleaseConnection();

  // ---- Events (IGraphicsX11Events.cpp).
  using XID = unsigned long;
  void HandleEvent(_XEvent& event);
  // One tick of the redraw clock: counter 0 from the timer, else the vertical-blank counter.
  void OnRedrawTick(int counter);
  // Paints the logical rectangles; the whole image is presented.
  void Paint(IRectList& rects);
  void OnExpose(const _XEvent& event);
  void OnButtonPress(const _XEvent& event);
  void OnButtonRelease(const _XEvent& event);
  void OnMotion(const _XEvent& event);
  void OnKey(_XEvent& event, bool down);
  IMouseState MouseState(int x, int y, unsigned int state);
  bool IsDoubleClick(const _XEvent& event);
  void ForwardKeyToHost(_XEvent& event);
  void UpdateTooltip();
  void HideTooltip();

  // ---- Cursor (IGraphicsX11Input.cpp).
  XID CursorFor(int cursorType);
  void FreeCursors();

  _XDisplay* mDisplay = nullptr;  // the editor's own connection
  XID mWindow = 0;
  XID mParent = 0;
  XID mColormap = 0;
  XID mTickAtom = 0;
  XID mDeleteAtom = 0;
  std::unique_ptr<GLXWindowContext> mGL;
  int mGLActivations = 0;
  bool mWindowGone = false;  // destroyed by someone else (the host took its parent away)
  int mPixelWidth = 0;       // the window's size as last set or configured
  int mPixelHeight = 0;

  bool mVBlankMode = true;
  VBlankThread mVBlank;
  FramePacer mPacer;
  std::unique_ptr<iplug::Timer> mRedrawTimer;
  std::unique_ptr<iplug::Timer> mEventTimer;
  float mResourceScale = 1.f;  // from Xft.dpi, taken on a tick without capture
  std::vector<IBounds> mExposed;  // pixel rectangles of Expose events not yet painted

  // Pointer state.
  float mLastX = 0.f, mLastY = 0.f;
  float mSavedX = 0.f, mSavedY = 0.f;
  bool mCursorLocked = false;
  unsigned int mCaptureButton = 0;  // the button whose press holds the pointer, 0 for none
  unsigned int mLastPressButton = 0;
  unsigned long mLastPressTime = 0;  // server time, ms
  int mLastPressX = 0, mLastPressY = 0;
  std::vector<std::pair<unsigned int, XID>> mCursors;  // by cursor-font shape
  XID mInvisibleCursor = 0;

  // Tooltip.
  std::unique_ptr<TooltipWindow> mTooltip;
  int mTooltipControlIdx = -1;
  double mHoverSinceMs = 0.0;
  int mPointerRootX = 0, mPointerRootY = 0;

  int mFramesDrawn = 0;
  int mTicks = 0;
  std::string mOpenError;
};

}  // namespace igraphics
