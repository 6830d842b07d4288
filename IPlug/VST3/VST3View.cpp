#include "IPlug/VST3/VST3View.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "IPlug/EntryGuard.h"
#include "IPlug/VST3/IPlugVST3.h"
#include "IPlug/VST3/VST3Controller.h"
#include "graphics/IGraphics.h"
#if !defined(_WIN32)
#include "IPlug/TimerRunLoop.h"
#include "graphics/x11/IGraphicsX11.h"
#endif

namespace iplug {
namespace {

using Unknown = VST3Unknown<VST3View>;
VST3View& Self(void* self) { return VST3Slot<VST3View>::Of(self); }

template <typename Call>
v3_result Guarded(Call&& call) {
  return GuardedEntry(std::forward<Call>(call), static_cast<v3_result>(V3_INTERNAL_ERR));
}

// Every call: the host's UI thread.
v3_result V3_API IsPlatformTypeSupported(void* self, const char* type) { return Self(self).IsPlatformTypeSupported(type); }
v3_result V3_API Attached(void* self, void* parent, const char* type) {
  return Guarded([&] { return Self(self).Attached(parent, type); });
}
v3_result V3_API Removed(void* self) {
  return Guarded([&] { return Self(self).Removed(); });
}
v3_result V3_API OnWheel(void* /*self*/, float /*distance*/) { return V3_FALSE; }
v3_result V3_API OnKey(void* /*self*/, int16_t /*c*/, int16_t /*code*/, int16_t /*modifiers*/) { return V3_FALSE; }
v3_result V3_API GetSize(void* self, v3_view_rect* rect) {
  if (!rect) return V3_INVALID_ARG;
  return Guarded([&] { return Self(self).GetSize(*rect); });
}
v3_result V3_API OnSize(void* self, v3_view_rect* rect) {
  if (!rect) return V3_INVALID_ARG;
  return Guarded([&] { return Self(self).OnSize(*rect); });
}
v3_result V3_API OnFocus(void* /*self*/, v3_bool /*state*/) { return V3_OK; }
v3_result V3_API SetFrame(void* self, v3_plugin_frame** frame) { return Self(self).SetFrame(frame); }
v3_result V3_API CanResize(void* self) { return Self(self).CanResize(); }
v3_result V3_API CheckSizeConstraint(void* self, v3_view_rect* rect) {
  if (!rect) return V3_INVALID_ARG;
  return Self(self).CheckSizeConstraint(*rect);
}
v3_result V3_API SetContentScaleFactor(void* self, float scale) {
  return Guarded([&] { return Self(self).SetContentScale(scale); });
}
void V3_API OnTimer(void* self) {
  GuardedEntry([&] { Self(self).OnTimer(); });
}
void V3_API OnFdIsSet(void* self, int /*fd*/) {
  GuardedEntry([&] { Self(self).OnEvents(); });
}

const v3_plugin_view_cpp kViewTable{{Unknown::Query, Unknown::Ref, Unknown::Unref},
                                    {IsPlatformTypeSupported, Attached, Removed, OnWheel, OnKey, OnKey, GetSize,
                                     OnSize, OnFocus, SetFrame, CanResize, CheckSizeConstraint}};
const v3_plugin_view_content_scale_cpp kContentScaleTable{{Unknown::Query, Unknown::Ref, Unknown::Unref},
                                                          {SetContentScaleFactor}};
const v3_timer_handler_cpp kTimerTable{{Unknown::Query, Unknown::Ref, Unknown::Unref}, {OnTimer}};
const v3_event_handler_cpp kEventTable{{Unknown::Query, Unknown::Ref, Unknown::Unref}, {OnFdIsSet}};

#if defined(_WIN32)
constexpr const char* kPlatformType = V3_VIEW_PLATFORM_TYPE_HWND;
#else
constexpr const char* kPlatformType = V3_VIEW_PLATFORM_TYPE_X11;
#endif

}  // namespace

VST3View::VST3View(VST3Controller& controller)
    : mController(controller), mView{&kViewTable, this}, mContentScale{&kContentScaleTable, this},
      mTimer{&kTimerTable, this}, mEvents{&kEventTable, this} {
  mController.Ref();
  mController.SetView(this);
}

VST3View* VST3View::Make(VST3Controller& controller) { return new VST3View(controller); }

VST3View::~VST3View() {
  if (mOpen) Removed();
  VST3Release(mRunLoop);
  mController.SetView(nullptr);
  mController.Unref();
}

uint32_t VST3View::Unref() {
  uint32_t remaining = 0;
  if (mRefs.Unref(remaining)) delete this;
  return remaining;
}

void* VST3View::Query(const v3_tuid iid) {
  void* found = nullptr;
  if (VST3Is(iid, v3_funknown_iid) || VST3Is(iid, v3_plugin_view_iid))
    found = mView.Interface();
#if defined(_WIN32)
  else if (VST3Is(iid, v3_plugin_view_content_scale_iid))
    found = mContentScale.Interface();
#endif
  else if (VST3Is(iid, v3_timer_handler_iid))
    found = mTimer.Interface();
  else if (VST3Is(iid, v3_event_handler_iid))
    found = mEvents.Interface();
  if (found) Ref();
  return found;
}

v3_result VST3View::IsPlatformTypeSupported(const char* type) const {
  return type && std::strcmp(type, kPlatformType) == 0 ? V3_OK : V3_FALSE;
}

v3_result VST3View::Attached(void* parent, const char* type) {
  if (mOpen || !parent || IsPlatformTypeSupported(type) != V3_OK) return V3_FALSE;
  IPlugVST3& plug = mController.Plug();
#if !defined(_WIN32)
  // Linux hosts give the run loop through the frame; without it nothing would drive the editor.
  if (!mRunLoop) mRunLoop = VST3Query<v3_run_loop>(mFrame, v3_run_loop_iid);
  if (!mRunLoop) return V3_FALSE;
#endif
  if (!plug.OpenEditor(parent)) {
    plug.CloseEditor();
    return V3_FALSE;
  }
  mOpen = true;
  // A scale the host gave before the editor opened.
  if (mHostScale > 0.f) plug.SetEditorScreenScale(mHostScale);
  plug.StartTimer();
  if (!StartRunLoop()) {
    Removed();
    return V3_FALSE;
  }
  return V3_OK;
}

v3_result VST3View::Removed() {
  if (!mOpen) return V3_FALSE;
  StopRunLoop();
  IPlugVST3& plug = mController.Plug();
  plug.StopTimer();
  plug.CloseEditor();
  mOpen = false;
  return V3_OK;
}

bool VST3View::StartRunLoop() {
#if defined(_WIN32)
  return true;  // the editor's timers are the window's, delivered by the host's message loop
#else
  auto* x11 = dynamic_cast<igraphics::IGraphicsX11*>(mController.Plug().GetUI());
  auto& loop = *v3_cpp_obj(mRunLoop);
  if (loop.register_timer(mRunLoop, static_cast<v3_timer_handler**>(mTimer.Interface()), kRunLoopTimerMs) != V3_OK)
    return false;
  if (x11 && x11->ConnectionFileDescriptor() >= 0)
    loop.register_event_handler(mRunLoop, static_cast<v3_event_handler**>(mEvents.Interface()),
                                x11->ConnectionFileDescriptor());
  return true;
#endif
}

void VST3View::StopRunLoop() {
  if (!mRunLoop) return;
  auto& loop = *v3_cpp_obj(mRunLoop);
  loop.unregister_timer(mRunLoop, static_cast<v3_timer_handler**>(mTimer.Interface()));
  loop.unregister_event_handler(mRunLoop, static_cast<v3_event_handler**>(mEvents.Interface()));
}

void VST3View::OnTimer() {
#if !defined(_WIN32)
  TimerRunLoop::Pump();
#endif
}

void VST3View::OnEvents() {
#if !defined(_WIN32)
  if (auto* x11 = dynamic_cast<igraphics::IGraphicsX11*>(mController.Plug().GetUI())) x11->ProcessEvents();
#endif
}

float VST3View::PlatformScale() const {
  const igraphics::IGraphics* graphics = mController.Plug().GetUI();
  return graphics ? graphics->GetPlatformWindowScale() : (mHostScale > 0.f ? mHostScale : 1.f);
}

float VST3View::ZoomFor(int width, int height) const {
  const IPlugVST3& plug = mController.Plug();
  const igraphics::IGraphics* graphics = plug.GetUI();
  // The editor's size in units: the open editor's, else the configured one.
  const float w0 = static_cast<float>(std::max(graphics ? graphics->Width() : plug.GetEditorWidth(), 1));
  const float h0 = static_cast<float>(std::max(graphics ? graphics->Height() : plug.GetEditorHeight(), 1));
  const float ps = PlatformScale();
  // Half a pixel more: the editor truncates its window size, which must then come out as asked.
  const float zoom =
      std::min((static_cast<float>(width) + 0.5f) / (w0 * ps), (static_cast<float>(height) + 0.5f) / (h0 * ps));
  const float minZoom = graphics ? graphics->GetMinScale() : static_cast<float>(plug.GetMinWidth()) / w0;
  const float maxZoom = graphics ? graphics->GetMaxScale() : static_cast<float>(plug.GetMaxWidth()) / w0;
  return std::clamp(std::isfinite(zoom) ? zoom : 1.f, minZoom, std::max(minZoom, maxZoom));
}

v3_result VST3View::GetSize(v3_view_rect& rect) const {
  IPlugVST3& plug = mController.Plug();
  int width = plug.GetEditorWidth();
  int height = plug.GetEditorHeight();
  if (const igraphics::IGraphics* graphics = plug.GetUI()) {
    width = static_cast<int>(static_cast<float>(graphics->WindowWidth()) * graphics->GetPlatformWindowScale());
    height = static_cast<int>(static_cast<float>(graphics->WindowHeight()) * graphics->GetPlatformWindowScale());
  } else {
    if (plug.GetSavedWidth() > 0 && plug.GetSavedHeight() > 0 && plug.GetSavedScale() > 0.f) {
      width = static_cast<int>(static_cast<float>(plug.GetSavedWidth()) * plug.GetSavedScale());
      height = static_cast<int>(static_cast<float>(plug.GetSavedHeight()) * plug.GetSavedScale());
    }
    width = static_cast<int>(static_cast<float>(width) * PlatformScale());
    height = static_cast<int>(static_cast<float>(height) * PlatformScale());
  }
  rect = {0, 0, width, height};
  return V3_OK;
}

v3_result VST3View::OnSize(const v3_view_rect& rect) {
  igraphics::IGraphics* graphics = mController.Plug().GetUI();
  if (!graphics) return V3_OK;  // the editor opens at its own saved size
  // Hosts answer the view's own size (after resizeView, or when they first place it): the
  // editor keeps its zoom then, rather than one made from the rounded pixel size.
  v3_view_rect current{};
  if (GetSize(current) == V3_OK && current.right - current.left == rect.right - rect.left &&
      current.bottom - current.top == rect.bottom - rect.top)
    return V3_OK;
  const float zoom = ZoomFor(rect.right - rect.left, rect.bottom - rect.top);
  mInOnSize = true;
  graphics->Resize(graphics->Width(), graphics->Height(), zoom, true);
  mInOnSize = false;
  return V3_OK;
}

v3_result VST3View::CanResize() const {
  const IPlugVST3& plug = mController.Plug();
  return plug.GetMinWidth() < plug.GetMaxWidth() ? V3_OK : V3_FALSE;
}

// The size the editor takes at the zoom it makes of the rectangle (its window size is
// truncated to whole pixels, as here).
v3_result VST3View::CheckSizeConstraint(v3_view_rect& rect) const {
  const IPlugVST3& plug = mController.Plug();
  const igraphics::IGraphics* graphics = plug.GetUI();
  const float zoom = ZoomFor(rect.right - rect.left, rect.bottom - rect.top);
  const float ps = PlatformScale();
  auto pixels = [&](int units) {
    return static_cast<int32_t>(static_cast<float>(static_cast<int>(static_cast<float>(units) * zoom)) * ps);
  };
  rect.right = rect.left + pixels(graphics ? graphics->Width() : plug.GetEditorWidth());
  rect.bottom = rect.top + pixels(graphics ? graphics->Height() : plug.GetEditorHeight());
  return V3_OK;
}

v3_result VST3View::SetFrame(v3_plugin_frame** frame) {
  if (frame != mFrame && mRunLoop && !mOpen) {
    VST3Release(mRunLoop);
    mRunLoop = nullptr;
  }
  mFrame = frame;  // the frame outlives the view: the host sets it to null before it goes
  return V3_OK;
}

v3_result VST3View::SetContentScale(float scale) {
#if defined(_WIN32)
  if (!(scale > 0.f) || !std::isfinite(scale)) return V3_INVALID_ARG;
  mHostScale = scale;
  mController.Plug().SetEditorScreenScale(scale);
  return V3_OK;
#else
  (void)scale;
  return V3_FALSE;  // X11 hosts give no content scale; the editor follows Xft.dpi
#endif
}

bool VST3View::RequestResize(int width, int height) {
  if (mInOnSize) return true;  // the host's own resize: its window is already that size
  if (!mFrame) return false;
  v3_view_rect rect{0, 0, width, height};
  return v3_cpp_obj(mFrame)->resize_view(mFrame, static_cast<v3_plugin_view**>(mView.Interface()), &rect) == V3_OK;
}

}  // namespace iplug
