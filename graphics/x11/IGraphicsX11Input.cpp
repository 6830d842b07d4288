// The pointer's position, warping, hiding and shape.
#include "graphics/x11/IGraphicsX11.h"

#include <cmath>

// Xlib after the framework's headers: its macros would clash with their names.
#include <X11/Xlib.h>
#include <X11/cursorfont.h>

namespace igraphics {

namespace {

// The X cursor-font shape of each cursor of the framework.
unsigned int FontShapeFor(int cursorType) {
  switch (cursorType) {
    case kIBeam: return XC_xterm;
    case kWait: return XC_watch;
    case kCross: return XC_crosshair;
    case kUpArrow: return XC_sb_up_arrow;
    case kSizeNWSE: return XC_bottom_right_corner;
    case kSizeNESW: return XC_bottom_left_corner;
    case kSizeWE: return XC_sb_h_double_arrow;
    case kSizeNS: return XC_sb_v_double_arrow;
    case kSizeAll: return XC_fleur;
    case kNo: return XC_X_cursor;
    case kHand: return XC_hand2;
    case kAppStarting: return XC_watch;
    case kHelp: return XC_question_arrow;
    default: return XC_left_ptr;
  }
}

}  // namespace

void IGraphicsX11::GetMouseLocation(float& x, float& y) const {
  x = mLastX;
  y = mLastY;
  if (!mDisplay || !mWindow || mWindowGone) return;
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned int mask = 0;
  if (!XQueryPointer(mDisplay, mWindow, &root, &child, &rootX, &rootY, &winX, &winY, &mask)) return;
  const float t = GetTotalScale();
  x = static_cast<float>(winX) / t;
  y = static_cast<float>(winY) / t;
}

void IGraphicsX11::MoveMouseCursor(float x, float y) {
  if (!mDisplay || !mWindow || mWindowGone) return;
  const float t = GetTotalScale();
  XWarpPointer(mDisplay, None, mWindow, 0, 0, 0, 0, static_cast<int>(std::lround(x * t)),
               static_cast<int>(std::lround(y * t)));
  XFlush(mDisplay);
  // The move's own motion event then reports no movement.
  mLastX = mSavedX = x;
  mLastY = mSavedY = y;
}

void IGraphicsX11::PlatformHideMouseCursor(bool hide, bool lock) {
  if (!mDisplay || !mWindow || mWindowGone) return;
  if (hide) {
    mSavedX = mLastX;
    mSavedY = mLastY;
    if (!mInvisibleCursor) {
      const char empty = 0;
      Pixmap blank = XCreateBitmapFromData(mDisplay, mWindow, &empty, 1, 1);
      XColor black{};
      mInvisibleCursor = XCreatePixmapCursor(mDisplay, blank, blank, &black, &black, 0, 0);
      XFreePixmap(mDisplay, blank);
    }
    XDefineCursor(mDisplay, mWindow, mInvisibleCursor);
    mCursorLocked = lock;
  } else {
    if (mCursorLocked) MoveMouseCursor(mSavedX, mSavedY);
    XDefineCursor(mDisplay, mWindow, CursorFor(GetCursorType()));
    mCursorLocked = false;
  }
  XFlush(mDisplay);
}

int IGraphicsX11::SetMouseCursor(int cursorType) {
  const int previous = IGraphicsNanoVG::SetMouseCursor(cursorType);
  if (mDisplay && mWindow && !mWindowGone && !IsCursorHidden()) {
    XDefineCursor(mDisplay, mWindow, CursorFor(cursorType));
    XFlush(mDisplay);
  }
  return previous;
}

IGraphicsX11::XID IGraphicsX11::CursorFor(int cursorType) {
  const unsigned int shape = FontShapeFor(cursorType);
  for (const auto& entry : mCursors)
    if (entry.first == shape) return entry.second;
  const Cursor cursor = XCreateFontCursor(mDisplay, shape);
  mCursors.emplace_back(shape, cursor);
  return cursor;
}

void IGraphicsX11::FreeCursors() {
  for (const auto& entry : mCursors) XFreeCursor(mDisplay, entry.second);
  mCursors.clear();
  if (mInvisibleCursor) XFreeCursor(mDisplay, mInvisibleCursor);
  mInvisibleCursor = 0;
  mCursorLocked = false;
}

}  // namespace igraphics
