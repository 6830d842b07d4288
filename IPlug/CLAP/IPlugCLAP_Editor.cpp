#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "IPlug/CLAP/IPlugCLAP.h"
#include "graphics/IGraphics.h"

#ifndef _WIN32
#include "IPlug/TimerRunLoop.h"
#include "graphics/x11/IGraphicsX11.h"
#endif

// The editor inside a CLAP host's window: a child window (win32 or x11, embedded, in
// physical pixels). Its size is its size in units times its zoom times the screen scale the
// host gives; the host may resize it within the zoom range at the editor's aspect, and the
// corner resizer asks the host for the new size.
//
// On Linux nothing delivers the editor's timer and X events by itself, and the binding starts
// no thread: the host's timer pumps the framework's run loop (the 20 ms service timer and the
// editor's redraw clock, which is put on that run loop instead of a vertical-blank thread),
// and the host watches the editor's X connection and calls back when events wait.
namespace iplug {
namespace {

#ifdef _WIN32
constexpr const char* kWindowAPI = CLAP_WINDOW_API_WIN32;
#else
constexpr const char* kWindowAPI = CLAP_WINDOW_API_X11;
// Often enough for the redraw clock at 60 frames a second and for prompt input when the host
// does not watch the connection; hosts may round it.
constexpr uint32_t kEditorTimerMs = 8;
#endif

}  // namespace

igraphics::IGraphics* IPlugCLAP::MakeGraphicsContext() {
  igraphics::IGraphics* graphics = IPlugAPIBase::MakeGraphicsContext();
#ifndef _WIN32
  if (auto* x11 = dynamic_cast<igraphics::IGraphicsX11*>(graphics)) x11->SetVBlankMode(false);
#endif
  return graphics;
}

bool IPlugCLAP::GuiApiSupported(const char* api, bool isFloating) const {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  return HasUI() && !isFloating && api && std::strcmp(api, kWindowAPI) == 0;
}

bool IPlugCLAP::GuiPreferredApi(const char** api, bool* isFloating) const {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  if (!HasUI() || !api || !isFloating) return false;
  *api = kWindowAPI;
  *isFloating = false;
  return true;
}

bool IPlugCLAP::GuiCreate(const char* api, bool isFloating) {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  if (mGuiCreated || !GuiApiSupported(api, isFloating)) return false;
#ifndef _WIN32
  // Without the host's timer the editor would stand still: refused rather than half alive.
  if (!mHostExt.mTimer || !mHostExt.mTimer->register_timer ||
      !mHostExt.mTimer->register_timer(mHost, kEditorTimerMs, &mTimerID))
    return false;
#endif
  StartTimer();
  mGuiCreated = true;
  return true;
}

void IPlugCLAP::GuiDestroy() {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  if (!mGuiCreated) return;
  ForgetEditorConnection();
  CloseEditor();
  StopTimer();
  if (mTimerID != CLAP_INVALID_ID && mHostExt.mTimer && mHostExt.mTimer->unregister_timer)
    mHostExt.mTimer->unregister_timer(mHost, mTimerID);
  mTimerID = CLAP_INVALID_ID;
  mGuiCreated = false;
}

bool IPlugCLAP::GuiSetScale(double scale) {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  if (!(scale > 0.0) || !std::isfinite(scale)) return false;
  mScreenScale = scale;
  SetEditorScreenScale(static_cast<float>(scale));
  return true;
}

void IPlugCLAP::EditorUnits(int& width, int& height) const {
  if (const igraphics::IGraphics* graphics = GetUI()) {
    width = graphics->Width();
    height = graphics->Height();
  } else {
    width = GetSavedWidth() > 0 ? GetSavedWidth() : GetEditorWidth();
    height = GetSavedHeight() > 0 ? GetSavedHeight() : GetEditorHeight();
  }
}

namespace {
struct Scales {
  float mZoom = 1.f;
  float mScreen = 1.f;
  float mMinZoom = 1.f;
  float mMaxZoom = 1.f;
};
}  // namespace

// The zoom and screen scale in use (or that the editor will open with), and the zoom range.
static Scales ScalesOf(const IPlugCLAP& plug, double hostScreenScale) {
  Scales s;
  if (const igraphics::IGraphics* graphics = plug.GetUI()) {
    s.mZoom = graphics->GetDrawScale();
    s.mScreen = graphics->GetScreenScale();
    s.mMinZoom = graphics->GetMinScale();
    s.mMaxZoom = graphics->GetMaxScale();
    return s;
  }
  s.mZoom = plug.GetSavedScale() > 0.f ? plug.GetSavedScale() : 1.f;
  s.mScreen = hostScreenScale > 0.0 ? static_cast<float>(hostScreenScale) : 1.f;
  const float units = static_cast<float>(std::max(plug.GetEditorWidth(), 1));
  s.mMinZoom = std::min(static_cast<float>(plug.GetMinWidth()) / units, 1.f);
  s.mMaxZoom = std::max(static_cast<float>(plug.GetMaxWidth()) / units, 1.f);
  return s;
}

bool IPlugCLAP::GuiGetSize(uint32_t& width, uint32_t& height) const {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  if (!HasUI()) return false;
  int w = 0, h = 0;
  EditorUnits(w, h);
  const Scales s = ScalesOf(*this, mScreenScale);
  width = static_cast<uint32_t>(std::lround(static_cast<float>(w) * s.mZoom * s.mScreen));
  height = static_cast<uint32_t>(std::lround(static_cast<float>(h) * s.mZoom * s.mScreen));
  return true;
}

bool IPlugCLAP::GuiResizeHints(clap_gui_resize_hints_t& hints) const {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  if (!HasUI()) return false;
  int w = 0, h = 0;
  EditorUnits(w, h);
  hints.can_resize_horizontally = true;
  hints.can_resize_vertically = true;
  hints.preserve_aspect_ratio = true;
  hints.aspect_ratio_width = static_cast<uint32_t>(std::max(w, 1));
  hints.aspect_ratio_height = static_cast<uint32_t>(std::max(h, 1));
  return true;
}

float IPlugCLAP::ZoomFor(uint32_t width, uint32_t height) const {
  int w = 0, h = 0;
  EditorUnits(w, h);
  const Scales s = ScalesOf(*this, mScreenScale);
  const float zoomW = static_cast<float>(width) / (static_cast<float>(std::max(w, 1)) * s.mScreen);
  const float zoomH = static_cast<float>(height) / (static_cast<float>(std::max(h, 1)) * s.mScreen);
  // The editor keeps its aspect: the smaller zoom fits inside what the host offers.
  return std::clamp(std::min(zoomW, zoomH), s.mMinZoom, s.mMaxZoom);
}

bool IPlugCLAP::GuiAdjustSize(uint32_t& width, uint32_t& height) const {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  if (!HasUI()) return false;
  int w = 0, h = 0;
  EditorUnits(w, h);
  const float zoom = ZoomFor(width, height);
  const float screen = ScalesOf(*this, mScreenScale).mScreen;
  width = static_cast<uint32_t>(std::lround(static_cast<float>(w) * zoom * screen));
  height = static_cast<uint32_t>(std::lround(static_cast<float>(h) * zoom * screen));
  return true;
}

bool IPlugCLAP::GuiSetSize(uint32_t width, uint32_t height) {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  igraphics::IGraphics* graphics = GetUI();
  if (!graphics) return false;
  // The host sized its window already: only the editor's own window follows.
  graphics->Resize(graphics->Width(), graphics->Height(), ZoomFor(width, height), false);
  return true;
}

bool IPlugCLAP::GuiSetParent(const clap_window_t& window) {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  if (!mGuiCreated || GetUI()) return false;
#ifdef _WIN32
  void* parent = window.win32;
#else
  void* parent = reinterpret_cast<void*>(static_cast<uintptr_t>(window.x11));
#endif
  if (!parent || !OpenEditor(parent)) {
    CloseEditor();
    return false;
  }
  if (mScreenScale > 0.0) SetEditorScreenScale(static_cast<float>(mScreenScale));
  WatchEditorConnection();
  return true;
}

bool IPlugCLAP::GuiShow() {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  return GetUI() != nullptr;
}

bool IPlugCLAP::GuiHide() {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  return GetUI() != nullptr;
}

bool IPlugCLAP::ResizeEditorWindow(int width, int height) {
  if (width <= 0 || height <= 0 || !mHostExt.mGui || !mHostExt.mGui->request_resize) return false;
  return mHostExt.mGui->request_resize(mHost, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
}

void IPlugCLAP::WatchEditorConnection() {
#ifndef _WIN32
  auto* x11 = dynamic_cast<igraphics::IGraphicsX11*>(GetUI());
  const int fd = x11 ? x11->ConnectionFileDescriptor() : -1;
  if (fd >= 0 && mHostExt.mFd && mHostExt.mFd->register_fd && mHostExt.mFd->register_fd(mHost, fd, CLAP_POSIX_FD_READ))
    mWatchedFd = fd;
#endif
}

void IPlugCLAP::ForgetEditorConnection() {
  if (mWatchedFd >= 0 && mHostExt.mFd && mHostExt.mFd->unregister_fd) mHostExt.mFd->unregister_fd(mHost, mWatchedFd);
  mWatchedFd = -1;
}

void IPlugCLAP::OnTimer(clap_id timerID) {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
#ifndef _WIN32
  if (timerID == mTimerID && mTimerID != CLAP_INVALID_ID) TimerRunLoop::Pump();
#else
  (void)timerID;  // Windows delivers the editor's timers through the host's message loop
#endif
}

void IPlugCLAP::OnFd(int fd, clap_posix_fd_flags_t /*flags*/) {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
#ifndef _WIN32
  if (fd != mWatchedFd || fd < 0) return;
  if (auto* x11 = dynamic_cast<igraphics::IGraphicsX11*>(GetUI())) x11->ProcessEvents();
#else
  (void)fd;
#endif
}

}  // namespace iplug
