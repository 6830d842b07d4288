// The editor window's events: the redraw clock's ticks, painting, the window manager's close,
// desktop scale changes, and the translation of pointer and key events into the graphics
// context's input operations.
#include "graphics/x11/IGraphicsX11.h"

#include <cmath>
#include <cstdlib>

#include "graphics/IRectList.h"
#include "graphics/nanovg/NanoVGGL.h"

// Xlib after the framework's headers: its macros would clash with their names.
#include <X11/Xatom.h>

#include "graphics/x11/GLXWindowContext.h"
#include "graphics/x11/KeyTranslation.h"
#include "graphics/x11/ScreenScale.h"
#include "graphics/x11/TooltipWindow.h"

namespace igraphics {

namespace {

constexpr unsigned int kWheelUp = 4;
constexpr unsigned int kWheelDown = 5;

}  // namespace

void IGraphicsX11::ProcessEvents() {
  while (mDisplay && XPending(mDisplay) > 0) {
    XEvent event;
    XNextEvent(mDisplay, &event);
    HandleEvent(event);
  }
}

void IGraphicsX11::HandleEvent(XEvent& event) {
  if (mTooltip && event.xany.window == mTooltip->GetWindow()) {
    if (event.type == Expose && event.xexpose.count == 0) mTooltip->Paint();
    return;
  }
  if (event.type == PropertyNotify) {
    // The desktop's resources changed (a new Xft.dpi, perhaps).
    if (event.xproperty.atom == XA_RESOURCE_MANAGER) mResourceScale = ReadScreenScale(mDisplay);
    return;
  }
  if (event.xany.window != mWindow) return;
  switch (event.type) {
    case ClientMessage:
      if (event.xclient.message_type == mTickAtom) {
        OnRedrawTick(static_cast<int>(event.xclient.data.l[0]));
      } else if (mDeleteAtom != None && static_cast<Atom>(event.xclient.data.l[0]) == mDeleteAtom) {
        CloseWindow();  // the window manager's close button
      }
      break;
    case Expose: OnExpose(event); break;
    case ConfigureNotify:
      mPixelWidth = event.xconfigure.width;
      mPixelHeight = event.xconfigure.height;
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window == mWindow) mWindowGone = true;
      break;
    case ButtonPress: OnButtonPress(event); break;
    case ButtonRelease: OnButtonRelease(event); break;
    case MotionNotify: OnMotion(event); break;
    case LeaveNotify:
      // Leaving while a button holds the pointer is no leaving: the drag goes on.
      if (event.xcrossing.mode == NotifyNormal && mCaptureButton == 0) {
        HideTooltip();
        mTooltipControlIdx = -1;
        OnMouseOut();
      }
      break;
    case KeyPress: OnKey(event, true); break;
    case KeyRelease: OnKey(event, false); break;
    default: break;
  }
}

// ---- Redraw clock and painting.

void IGraphicsX11::OnRedrawTick(int counter) {
  if (!mWindow || mWindowGone || !HasGLContext()) return;
  if (mVBlankMode && !mPacer.ShouldDraw(counter, mVBlank.Counter())) return;
  ++mTicks;
  if (mCaptureButton == 0 && mResourceScale != GetScreenScale()) SetScreenScale(mResourceScale);
  UpdateTooltip();

  // The dirty areas are painted as the window pixels they touch, as a system's update
  // region would hand them back.
  IRectList pixels;
  if (!TakeDirtyPixelAreas(pixels)) return;
  const float t = GetTotalScale();
  IRectList area;
  for (const IBounds& r : pixels) area.Add(r.GetUnscaledOutwards(t));
  Paint(area);
  if (mVBlankMode) mPacer.AfterPaint(counter, mVBlank.Counter());
}

void IGraphicsX11::Paint(IRectList& rects) {
  // Areas the server asked for go along with every frame.
  const float t = GetTotalScale();
  for (const IBounds& r : mExposed) rects.Add(r.GetUnscaledOutwards(t));
  mExposed.clear();
  if (rects.Size() == 0) return;
  ActivateGLContext();
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  Draw(rects);
  mGL->SwapBuffers(mWindow);
  DeactivateGLContext();
  ++mFramesDrawn;
}

void IGraphicsX11::OnExpose(const XEvent& e) {
  const XExposeEvent& event = e.xexpose;
  mExposed.emplace_back(static_cast<float>(event.x), static_cast<float>(event.y),
                        static_cast<float>(event.x + event.width), static_cast<float>(event.y + event.height));
  if (event.count > 0) return;  // more of the same exposure follow
  IRectList none;
  Paint(none);
}

bool IGraphicsX11::ReadWindowPixels(std::vector<uint8_t>& rgba, int& width, int& height, bool redrawAll) {
  rgba.clear();
  width = WindowPixelWidth();
  height = WindowPixelHeight();
  if (!mWindow || mWindowGone || !HasGLContext() || width <= 0 || height <= 0) return false;
  IRectList rects;
  // A frame always presents the whole persistent image; an area left of the editor draws
  // no control into it.
  rects.Add(redrawAll ? GetBounds() : IBounds(-4.f, -4.f, -2.f, -2.f));
  ActivateGLContext();
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  Draw(rects);
  glFinish();
  glReadBuffer(GL_BACK);
  const bool ok = ReadPixelsTopDown(width, height, rgba);
  mGL->SwapBuffers(mWindow);
  DeactivateGLContext();
  return ok;
}

// ---- Pointer.

IMouseState IGraphicsX11::MouseState(int x, int y, unsigned int state) {
  const float t = GetTotalScale();
  IMouseState s;
  s.x = static_cast<float>(x) / t;
  s.y = static_cast<float>(y) / t;
  mLastX = s.x;
  mLastY = s.y;
  s.ms.L = (state & Button1Mask) != 0;
  s.ms.R = (state & Button3Mask) != 0;
  s.ms.S = (state & ShiftMask) != 0;
  s.ms.C = (state & ControlMask) != 0;
  s.ms.A = (state & Mod1Mask) != 0;
  return s;
}

// X reports no double clicks: a press of the same button as the last one, soon enough and
// near enough, is one; the press after a double click starts afresh.
bool IGraphicsX11::IsDoubleClick(const XEvent& e) {
  const XButtonEvent& event = e.xbutton;
  const bool dbl = event.button == mLastPressButton && event.time - mLastPressTime <= static_cast<Time>(kDoubleClickMs) &&
                   std::abs(event.x - mLastPressX) <= kDoubleClickPixels &&
                   std::abs(event.y - mLastPressY) <= kDoubleClickPixels;
  mLastPressButton = dbl ? 0 : event.button;
  mLastPressTime = event.time;
  mLastPressX = event.x;
  mLastPressY = event.y;
  return dbl;
}

void IGraphicsX11::OnButtonPress(const XEvent& e) {
  const XButtonEvent& event = e.xbutton;
  if (event.button == kWheelUp || event.button == kWheelDown) {
    // One button event is one notch of the wheel.
    const IMouseState s = MouseState(event.x, event.y, event.state);
    OnMouseWheel(s.x, s.y, s.ms, event.button == kWheelUp ? 1.f : -1.f);
    return;
  }
  if (event.button > Button3) return;  // horizontal wheel and extra buttons
  HideTooltip();
  // The state of a press is the one before it: the pressed button is added.
  const unsigned int mask = event.button == Button1 ? Button1Mask : event.button == Button3 ? Button3Mask : 0;
  const IMouseState s = MouseState(event.x, event.y, event.state | mask);
  if (IsDoubleClick(e) && event.button != Button2) {
    if (OnMouseDblClick(s.x, s.y, s.ms)) mCaptureButton = event.button;
    return;
  }
  XSetInputFocus(mDisplay, mWindow, RevertToParent, CurrentTime);
  mCaptureButton = event.button;  // X keeps the pointer with this window while the button is held
  OnMouseDown({s});
}

void IGraphicsX11::OnButtonRelease(const XEvent& e) {
  const XButtonEvent& event = e.xbutton;
  if (mCaptureButton == event.button) mCaptureButton = 0;
  if (event.button != Button1 && event.button != Button3) return;
  // The state of a release is the one before it: the released button is taken away.
  const unsigned int mask = event.button == Button1 ? Button1Mask : Button3Mask;
  const IMouseState s = MouseState(event.x, event.y, event.state & ~mask);
  OnMouseUp({s});
}

void IGraphicsX11::OnMotion(const XEvent& event) {
  // Only the newest position of a burst of moves counts.
  XEvent next;
  XMotionEvent latest = event.xmotion;
  while (XCheckTypedWindowEvent(mDisplay, mWindow, MotionNotify, &next)) latest = next.xmotion;
  mPointerRootX = latest.x_root;
  mPointerRootY = latest.y_root;

  const float lastX = mLastX, lastY = mLastY;
  const IMouseState s = MouseState(latest.x, latest.y, latest.state);
  if ((s.ms.L || s.ms.R) && mCaptureButton != 0) {
    // The platform edit box would take the pointer; the graphics context keeps it otherwise.
    if (GetControlInTextEntry()) return;
    IMouseState drag = s;
    drag.dX = s.x - lastX;
    drag.dY = s.y - lastY;
    if (drag.dX != 0.f || drag.dY != 0.f) OnMouseDrag({drag});
    if (mCursorLocked) MoveMouseCursor(mSavedX, mSavedY);
    return;
  }
  const int before = GetMouseOverIdx();
  if (OnMouseOver(s.x, s.y, s.ms) && GetMouseOverIdx() != before) {
    HideTooltip();
    mTooltipControlIdx = GetMouseOverIdx();
  }
  mHoverSinceMs = GetTimeMs();
}

// The tooltip of the control under a resting pointer, once it has rested long enough.
void IGraphicsX11::UpdateTooltip() {
  if (!mTooltip || mTooltip->IsShown() || mTooltipControlIdx < 0 || mCaptureButton != 0) return;
  if (GetTimeMs() - mHoverSinceMs < kHoverMs) return;
  const IControl* control = GetControl(mTooltipControlIdx);
  if (control && control->GetTooltip() && *control->GetTooltip())
    mTooltip->Show(control->GetTooltip(), mPointerRootX, mPointerRootY);
}

void IGraphicsX11::HideTooltip() {
  if (mTooltip) mTooltip->Hide();
}

// ---- Keys.

void IGraphicsX11::OnKey(XEvent& event, bool down) {
  IKeyPress key;
  if (TranslateKeyEvent(event.xkey, key)) {
    float x = 0.f, y = 0.f;
    GetMouseLocation(x, y);
    if (down ? OnKeyDown(x, y, key) : OnKeyUp(x, y, key)) return;
  }
  ForwardKeyToHost(event);
}

// A key the editor does not take goes on, unchanged, to the host's top-level window, so the
// host sees its shortcuts (the space bar for its transport ...).
void IGraphicsX11::ForwardKeyToHost(XEvent& event) {
  if (!mParent) return;  // a window of its own has no host above it
  Window w = mWindow, root = 0, parent = 0, *children = nullptr;
  unsigned int n = 0;
  Window top = 0;
  while (XQueryTree(mDisplay, w, &root, &parent, &children, &n)) {
    if (children) XFree(children);
    if (parent == root || parent == 0) break;
    top = parent;
    w = parent;
  }
  if (!top) return;
  XEvent forwarded = event;
  forwarded.xkey.window = top;
  forwarded.xkey.subwindow = 0;
  XSendEvent(mDisplay, top, True, event.type == KeyPress ? KeyPressMask : KeyReleaseMask, &forwarded);
  XFlush(mDisplay);
}

}  // namespace igraphics
