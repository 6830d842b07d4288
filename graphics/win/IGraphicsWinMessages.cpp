// The editor window's procedure: creation, the redraw clock's ticks (which also act on the
// text edit box's commit or cancel), painting and closing. Pointer, touch, wheel, drop,
// keyboard and cursor messages go to the input translation (IGraphicsWinInput.cpp).
#include "graphics/win/IGraphicsWin.h"

#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/IRectList.h"
#include "graphics/nanovg/NanoVGGL.h"
#include "graphics/win/ScreenScale.h"

namespace igraphics {

namespace {

constexpr size_t kRegionBufferBytes = 1024;

// A pixel rectangle of the window as logical units at total scale t, outwards.
IBounds ToLogical(const RECT& r, float t) {
  return IBounds(static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.right),
                 static_cast<float>(r.bottom))
      .GetUnscaledOutwards(t);
}

// A rectangle of whole window pixels.
RECT ToRect(const IBounds& pixels) {
  return RECT{static_cast<LONG>(pixels.L), static_cast<LONG>(pixels.T), static_cast<LONG>(pixels.R),
              static_cast<LONG>(pixels.B)};
}

// The update region as logical rectangles: one per region rectangle when the region's data
// fits the buffer, else its bounding box.
void RegionToRects(HRGN region, int type, float t, IRectList& rects) {
  if (type == COMPLEXREGION) {
    alignas(RGNDATA) unsigned char buffer[kRegionBufferBytes];
    const DWORD needed = GetRegionData(region, 0, nullptr);
    if (needed > 0 && needed <= sizeof(buffer) &&
        GetRegionData(region, sizeof(buffer), reinterpret_cast<RGNDATA*>(buffer)) != 0) {
      const auto* data = reinterpret_cast<const RGNDATA*>(buffer);
      const auto* r = reinterpret_cast<const RECT*>(data->Buffer);
      for (DWORD i = 0; i < data->rdh.nCount; ++i) rects.Add(ToLogical(r[i], t));
      return;
    }
  }
  RECT box;
  GetRgnBox(region, &box);
  rects.Add(ToLogical(box, t));
}

}  // namespace

LRESULT CALLBACK IGraphicsWin::WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) {
    auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hWnd, msg, wParam, lParam);
  return self->HandleMessage(hWnd, msg, wParam, lParam);
}

LRESULT IGraphicsWin::HandleMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (IsInputMessage(msg)) return OnInputMessage(hWnd, msg, wParam, lParam);
  switch (msg) {
    case WM_CREATE:
      OnCreate(hWnd);
      return 0;
    case WM_TIMER:
      if (wParam == kTimerID) {
        OnRedrawTick(0);
        return 0;
      }
      break;
    case VBlankThread::kMessage:
      OnRedrawTick(static_cast<int>(wParam));
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ERASEBKGND:
      return 0;
    case WM_CLOSE:
      CloseWindow();
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
    case WM_SETCURSOR:
      SetMouseCursor(GetCursorType());
      return 0;
    case WM_CTLCOLOREDIT:
      return mTextEntry.IsOpen() ? mTextEntry.Colour(reinterpret_cast<HDC>(wParam)) : 0;
    case WM_CAPTURECHANGED:
      OnCaptureLost(reinterpret_cast<HWND>(lParam));
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hWnd, msg, wParam, lParam);
}

void IGraphicsWin::OnCreate(HWND hWnd) {
  mTicks = 0;
  mFramesDrawn = 0;
  if (mVBlankMode && mVBlank.Start(hWnd)) {
    // paced by the display
  } else {
    mVBlankMode = false;
    const auto intervalMs = static_cast<UINT>(FramePacer::TimerIntervalMs(FPS()));
    mTimerRunning = SetTimer(hWnd, kTimerID, intervalMs, nullptr) != 0;
  }
  SetFocus(hWnd);
  DragAcceptFiles(hWnd, TRUE);
}

void IGraphicsWin::OnRedrawTick(int counter) {
  if (!mPlugWnd || !HasGLContext()) return;
  if (mVBlankMode && !mPacer.ShouldDraw(counter, mVBlank.Counter())) return;
  ++mTicks;
  if (ConsumeTextEntryState()) return;

  if (!GetCapture()) {
    const float scale = ScaleForWindow(mPlugWnd);
    if (scale != GetScreenScale()) SetScreenScale(scale);
  }
  if (!InvalidateDirtyAreas()) return;
  if (mTextEntry.IsOpen()) {
    PaintAroundTextEntry();
    return;
  }
  UpdateWindow(mPlugWnd);
  if (mVBlankMode) mPacer.AfterPaint(counter, mVBlank.Counter());
}

bool IGraphicsWin::ConsumeTextEntryState() {
  if (!mTextEntry.IsOpen() || mTextEntry.GetState() == WinTextEntry::kIdle) return false;
  switch (mTextEntry.GetState()) {
    case WinTextEntry::kCancel:
      mTextEntry.Close();
      ClearTextEntryControl();
      break;
    case WinTextEntry::kCommit: {
      const std::string text = mTextEntry.ReadText();
      mTextEntry.Close();
      SetControlValueAfterTextEdit(text.c_str());
      break;
    }
    default: mTextEntry.SetState(WinTextEntry::kIdle); break;
  }
  return true;
}

// The frame is painted around the box, never over it.
void IGraphicsWin::PaintAroundTextEntry() {
  const RECT box = ToRect(mTextEntry.GetBounds().GetScaledOutwards(GetTotalScale()));
  ValidateRect(mPlugWnd, &box);
  UpdateWindow(mPlugWnd);
  mTextEntry.SetState(WinTextEntry::kPainted);
}

bool IGraphicsWin::InvalidateDirtyAreas() {
  IRectList pixels;
  if (!TakeDirtyPixelAreas(pixels)) return false;
  for (const IBounds& r : pixels) {
    const RECT area = ToRect(r);
    InvalidateRect(mPlugWnd, &area, FALSE);
  }
  return true;
}

void IGraphicsWin::OnPaint() {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  const int type = GetUpdateRgn(mPlugWnd, region, FALSE);
  if (HasGLContext() && (type == SIMPLEREGION || type == COMPLEXREGION)) {
    IRectList rects;
    RegionToRects(region, type, GetTotalScale(), rects);
    RECT box;
    GetRgnBox(region, &box);
    PAINTSTRUCT ps;
    BeginPaint(mPlugWnd, &ps);
    ActivateGLContext();
    if (mPresentThroughGDI) {
      glBindFramebuffer(GL_FRAMEBUFFER, mPresentFrameBuffer.Id());  // the frame's "window"
      Draw(rects);
      PresentThroughGDI(ps.hdc, box);
    } else {
      Draw(rects);
      SwapBuffers(mHDC);
    }
    DeactivateGLContext();
    EndPaint(mPlugWnd, &ps);
    ++mFramesDrawn;
  }
  ValidateRect(mPlugWnd, nullptr);
  DeleteObject(region);
}

void IGraphicsWin::PresentThroughGDI(HDC dc, const RECT& area) {
  const RECT image{0, 0, WindowPixelWidth(), WindowPixelHeight()};
  RECT r;
  if (!mPresentFrameBuffer.Id() || !IntersectRect(&r, &area, &image)) return;
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  std::vector<uint8_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
  glBindFramebuffer(GL_FRAMEBUFFER, mPresentFrameBuffer.Id());
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  // GL rows run bottom-up, as a bottom-up DIB's do; BGRA is the DIB's byte order.
  glReadPixels(r.left, image.bottom - r.bottom, w, h, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, r.left, r.top, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0, static_cast<UINT>(h),
                    pixels.data(), &info, DIB_RGB_COLORS);
}

// Under Wine: the window's pixels as the system holds them, read through GDI (BGRA, top-down).
namespace {
bool ReadThroughGDI(HWND window, int width, int height, std::vector<uint8_t>& rgba) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC windowDC = GetDC(window);
  HDC memoryDC = CreateCompatibleDC(windowDC);
  HBITMAP bitmap = CreateDIBSection(windowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (memoryDC && bitmap && bits) {
    HGDIOBJ old = SelectObject(memoryDC, bitmap);
    ok = BitBlt(memoryDC, 0, 0, width, height, windowDC, 0, 0, SRCCOPY) != FALSE;
    GdiFlush();
    SelectObject(memoryDC, old);
    const auto* p = static_cast<const uint8_t*>(bits);
    rgba.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    for (size_t i = 0; i < rgba.size(); i += 4) {
      rgba[i] = p[i + 2];
      rgba[i + 1] = p[i + 1];
      rgba[i + 2] = p[i];
      rgba[i + 3] = 255;  // what the window shows is opaque
    }
  }
  if (bitmap) DeleteObject(bitmap);
  if (memoryDC) DeleteDC(memoryDC);
  ReleaseDC(window, windowDC);
  return ok;
}
}  // namespace

bool IGraphicsWin::ReadWindowPixels(std::vector<uint8_t>& rgba, int& width, int& height, bool redrawAll) {
  rgba.clear();
  width = WindowPixelWidth();
  height = WindowPixelHeight();
  if (!mPlugWnd || !HasGLContext() || width <= 0 || height <= 0) return false;
  IRectList rects;
  // A frame always presents the whole persistent image; an area left of the editor draws
  // no control into it.
  rects.Add(redrawAll ? GetBounds() : IBounds(-4.f, -4.f, -2.f, -2.f));
  ActivateGLContext();
  if (mPresentThroughGDI) {
    glBindFramebuffer(GL_FRAMEBUFFER, mPresentFrameBuffer.Id());
    Draw(rects);
    glFinish();
    HDC dc = GetDC(mPlugWnd);
    PresentThroughGDI(dc, RECT{0, 0, width, height});
    ReleaseDC(mPlugWnd, dc);
    DeactivateGLContext();
    ValidateRect(mPlugWnd, nullptr);
    return ReadThroughGDI(mPlugWnd, width, height, rgba);
  }
  Draw(rects);
  glFinish();
  // The image just drawn, from the window's own back buffer, before it is presented.
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glReadBuffer(GL_BACK);
  const bool ok = ReadPixelsTopDown(width, height, rgba);
  SwapBuffers(mHDC);
  DeactivateGLContext();
  ValidateRect(mPlugWnd, nullptr);
  return ok;
}

}  // namespace igraphics
