#include "graphics/x11/IGraphicsX11.h"

#include <algorithm>
#include <cmath>

#include "IPlug/Timer.h"
#include "graphics/IGEditorDelegate.h"
#include "graphics/nanovg/GLLoader.h"
#include "graphics/nanovg/NanoVGGL.h"

// Xlib after the framework's headers: its macros would clash with their names.
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include "graphics/x11/DisplayConnection.h"
#include "graphics/x11/GLXWindowContext.h"
#include "graphics/x11/ScreenScale.h"
#include "graphics/x11/TooltipWindow.h"
#include "graphics/x11/X11Errors.h"

namespace igraphics {

namespace {

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                            KeyReleaseMask | EnterWindowMask | LeaveWindowMask | StructureNotifyMask;

}  // namespace

IGraphicsX11::IGraphicsX11(IGEditorDelegate& dlg, int w, int h, int fps, float scale)
    : IGraphicsNanoVG(dlg, w, h, fps, scale) {}

IGraphicsX11::~IGraphicsX11() { CloseWindow(); }

bool IGraphicsX11::DisplayAvailable() {
  Display* display = DisplayConnection::Open();
  if (!display) return false;
  XCloseDisplay(display);
  return true;
}

// ---- Opening and closing.

void* IGraphicsX11::OpenWindow(void* pParent) {
  int x = 0, y = 0, w = 0, h = 0;
  if (mWindow) {
    // Opened again: the window keeps its place and size in the new parent.
    Window root = 0;
    unsigned int uw = 0, uh = 0, border = 0, depth = 0;
    if (!mWindowGone) XGetGeometry(mDisplay, mWindow, &root, &x, &y, &uw, &uh, &border, &depth);
    w = static_cast<int>(uw);
    h = static_cast<int>(uh);
    CloseWindow();
  }
  mOpenError.clear();
  mParent = static_cast<Window>(reinterpret_cast<uintptr_t>(pParent));
  mDisplay = DisplayConnection::Open();
  if (!mDisplay) {
    mOpenError = "no X display (DISPLAY is not set, or the display refuses the connection)";
    return nullptr;
  }
  X11Errors::Register(mDisplay);
  mResourceScale = ReadScreenScale(mDisplay);
  const int s = std::max(1, static_cast<int>(mResourceScale));  // whole pixels until the first tick
  if (w <= 0 || h <= 0) {
    w = WindowWidth() * s;
    h = WindowHeight() * s;
  }

  mGL = GLXWindowContext::Create(mDisplay, DefaultScreen(mDisplay), mOpenError);
  if (!mGL || !CreateWindow(x, y, w, h, mOpenError)) {
    CloseWindow();
    return nullptr;
  }
  // The caller's OpenGL context comes back at the end: a host drawing with OpenGL keeps its own.
  ActivateGLContext();
  if (!LoadGL(mGL->Loader(), mOpenError)) return AbandonOpening();
  mGL->DisableSwapWait(mWindow);
  if (!OpenView(static_cast<float>(s), mOpenError)) return AbandonOpening();
  if (TooltipsEnabled()) mTooltip = std::make_unique<TooltipWindow>(mDisplay);
  DeactivateGLContext();

  mTicks = 0;
  mFramesDrawn = 0;
  StartRedrawClock();
  mEventTimer = iplug::Timer::MakeTimer([this](iplug::Timer&) { ProcessEvents(); }, kEventPumpMs);
  XFlush(mDisplay);
  GetDelegate()->OnEditorOpened();
  return GetWindow();
}

void* IGraphicsX11::AbandonOpening() {
  DeactivateGLContext();
  CloseWindow();
  return nullptr;
}

bool IGraphicsX11::CreateWindow(int x, int y, int w, int h, std::string& error) {
  const int screen = DefaultScreen(mDisplay);
  const Window parent = mParent ? mParent : RootWindow(mDisplay, screen);
  mColormap = XCreateColormap(mDisplay, RootWindow(mDisplay, screen), mGL->GetVisual(), AllocNone);
  XSetWindowAttributes a{};
  a.colormap = mColormap;
  a.border_pixel = 0;
  a.background_pixmap = None;
  a.bit_gravity = NorthWestGravity;
  a.event_mask = kEventMask;
  const int errors = X11Errors::Count(mDisplay);
  mWindow = XCreateWindow(mDisplay, parent, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), 0, mGL->Depth(),
                          InputOutput, mGL->GetVisual(),
                          CWColormap | CWBorderPixel | CWBackPixmap | CWBitGravity | CWEventMask, &a);
  XSync(mDisplay, False);
  if (!mWindow || X11Errors::Count(mDisplay) != errors) {
    error = "the editor's window cannot be made in the host's window (is the parent a window of this display?)";
    mWindow = 0;
    return false;
  }
  mPixelWidth = w;
  mPixelHeight = h;
  mWindowGone = false;
  mTickAtom = XInternAtom(mDisplay, VBlankThread::kMessageName, False);
  if (!mParent) {
    // A window of its own: the window manager's close button closes the editor.
    mDeleteAtom = XInternAtom(mDisplay, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(mDisplay, mWindow, &mDeleteAtom, 1);
    XStoreName(mDisplay, mWindow, "IPlug");
  }
  SetFixedSizeHints(w, h);
  // Changes of the desktop's resources (Xft.dpi) arrive as property changes of the root.
  XSelectInput(mDisplay, RootWindow(mDisplay, screen), PropertyChangeMask);
  XMapWindow(mDisplay, mWindow);
  return true;
}

// The window's size is the editor's: hosts that fit an embedded window to their own room
// (suil's GTK wrapper does) read these hints and leave it alone.
void IGraphicsX11::SetFixedSizeHints(int w, int h) {
  XSizeHints* hints = XAllocSizeHints();
  if (!hints) return;
  hints->flags = PMinSize | PMaxSize | PBaseSize;
  hints->min_width = hints->max_width = hints->base_width = w;
  hints->min_height = hints->max_height = hints->base_height = h;
  XSetWMNormalHints(mDisplay, mWindow, hints);
  XFree(hints);
}

void IGraphicsX11::StartRedrawClock() {
  if (mVBlankMode && mVBlank.Start(XDisplayString(mDisplay), mWindow)) return;
  mVBlankMode = false;
  mRedrawTimer =
      iplug::Timer::MakeTimer([this](iplug::Timer&) { OnRedrawTick(0); }, FramePacer::TimerIntervalMs(FPS()));
}

void IGraphicsX11::StopRedrawClock() {
  mVBlank.Stop();
  // Only stopped: CloseWindow may run inside a timer's own callback (a window closed by the
  // window manager), which must not destroy the timer under its feet.
  if (mRedrawTimer) mRedrawTimer->Stop();
  if (mEventTimer) mEventTimer->Stop();
}

void IGraphicsX11::CloseWindow() {
  if (!mDisplay) return;
  StopRedrawClock();
  if (HasGLContext()) {
    // Without its window (a host that destroyed the parent first) the context is made
    // current on its stand-in surface, so the GL objects are still released in order.
    mGLActivations = 0;
    const bool current = !mWindowGone && mWindow && mGL->MakeCurrent(mWindow);
    if (current || mGL->MakeCurrent(None)) {
      OnViewDestroyed();
      mGL->Restore();
    } else {
      RemoveAllControls();
    }
  } else {
    RemoveAllControls();  // a window that never got its context still drops what it attached
  }
  mTooltip.reset();
  FreeCursors();
  mGL.reset();
  if (mWindow && !mWindowGone) XDestroyWindow(mDisplay, mWindow);
  if (mColormap) XFreeColormap(mDisplay, mColormap);
  mWindow = 0;
  mColormap = 0;
  mPacer.Reset();
  mCaptureButton = 0;
  mExposed.clear();
  ReleaseConnection();
}

int IGraphicsX11::ConnectionFileDescriptor() const {
  return mDisplay && mWindow ? ConnectionNumber(mDisplay) : -1;
}

void IGraphicsX11::ReleaseConnection() {
  XSync(mDisplay, False);  // errors of the last requests are still ours
  X11Errors::Unregister(mDisplay);
  XCloseDisplay(mDisplay);
  mDisplay = nullptr;
}

// ---- OpenGL context switching: the caller's context always comes back.

void IGraphicsX11::ActivateGLContext() {
  if (!HasGLContext()) return;
  if (mGLActivations++ > 0) return;
  mGL->MakeCurrent(mWindowGone ? None : mWindow);
}

void IGraphicsX11::DeactivateGLContext() {
  if (!HasGLContext() || mGLActivations == 0) return;
  if (--mGLActivations > 0) return;
  mGL->Restore();
}

void IGraphicsX11::DrawResize() {
  if (!HasGLContext()) return;
  ActivateGLContext();
  IGraphicsNanoVG::DrawResize();
  DeactivateGLContext();
}

// ---- Sizes.

// The editor's window follows the editor. The host's windows are the host's: they follow
// through the host's own channel (the AAX view container, LV2's ui:resize), which the
// delegate's ResizeFromEditor used; only a host without one (parentHasResized false) gets
// its parent grown by the same amount, as on Windows.
void IGraphicsX11::PlatformResize(bool parentHasResized) {
  if (!mWindow || mWindowGone) return;
  const int w = WindowPixelWidth();
  const int h = WindowPixelHeight();
  const int dw = w - mPixelWidth;
  const int dh = h - mPixelHeight;
  if (dw == 0 && dh == 0) return;
  SetFixedSizeHints(w, h);
  XResizeWindow(mDisplay, mWindow, static_cast<unsigned>(w), static_cast<unsigned>(h));
  mPixelWidth = w;
  mPixelHeight = h;
  if (!parentHasResized && mParent) {
    Window root = 0;
    int px = 0, py = 0;
    unsigned int pw = 0, ph = 0, border = 0, depth = 0;
    if (XGetGeometry(mDisplay, mParent, &root, &px, &py, &pw, &ph, &border, &depth))
      XResizeWindow(mDisplay, mParent, static_cast<unsigned>(std::max(1, static_cast<int>(pw) + dw)),
                    static_cast<unsigned>(std::max(1, static_cast<int>(ph) + dh)));
  }
  XFlush(mDisplay);
}

bool IGraphicsX11::TooltipShown() const { return mTooltip && mTooltip->IsShown(); }

}  // namespace igraphics
