#pragma once

#include "IPlug/VST3/VST3Object.h"

namespace iplug {

class VST3Controller;

// The editor in a VST3 host's window: the plug-in view (with the content-scale interface on
// Windows) over the controller's plug-in object. The editor opens as a child of the host's
// window (HWND on Windows, X11EmbedWindowID on Linux), at its saved size and zoom; the host
// may resize it within the editor's zoom range, at its aspect (checkSizeConstraint snaps a
// size to both), and the editor's own corner resizer asks the frame to resize the view.
//
// On Linux nothing of the editor runs on a thread of its own: the frame's run loop calls a
// timer (which pumps the framework's run loop: the editor's redraw clock, its event timer,
// the service timer) and an event handler on the editor's X connection (which handles the
// events at once). Without a run loop from the frame the editor does not open.
//
// The view holds a reference to its controller. Threads: the host's UI thread for everything.
class VST3View {
public:
  // How often the run loop's timer pumps the editor; the editor's own timers keep their
  // intervals (redraw at its frame rate, events every few milliseconds).
  static constexpr int kRunLoopTimerMs = 4;

  static VST3View* Make(VST3Controller& controller);
  ~VST3View();

  void* Query(const v3_tuid iid);
  uint32_t Ref() { return mRefs.Ref(); }
  uint32_t Unref();
  void* Interface() { return mView.Interface(); }

  // UI thread. The editor's window became width x height pixels; asks the frame to follow.
  // True when the host's window follows.
  bool RequestResize(int width, int height);

  v3_result IsPlatformTypeSupported(const char* type) const;
  v3_result Attached(void* parent, const char* type);
  v3_result Removed();
  v3_result GetSize(v3_view_rect& rect) const;
  v3_result OnSize(const v3_view_rect& rect);
  v3_result CanResize() const;
  v3_result CheckSizeConstraint(v3_view_rect& rect) const;
  v3_result SetFrame(v3_plugin_frame** frame);
  v3_result SetContentScale(float scale);
  void OnTimer();
  void OnEvents();

private:
  explicit VST3View(VST3Controller& controller);
  // Pixels per editor unit on the host's side of the window (the content scale on Windows).
  float PlatformScale() const;
  // The editor's zoom for a window of width x height pixels: within the editor's range,
  // at its aspect.
  float ZoomFor(int width, int height) const;
  bool StartRunLoop();
  void StopRunLoop();

  VST3RefCount mRefs;
  VST3Controller& mController;
  VST3Slot<VST3View> mView;
  VST3Slot<VST3View> mContentScale;
  VST3Slot<VST3View> mTimer;
  VST3Slot<VST3View> mEvents;
  v3_plugin_frame** mFrame = nullptr;
  v3_run_loop** mRunLoop = nullptr;
  bool mOpen = false;
  bool mInOnSize = false;
  float mHostScale = 0.f;  // the content scale the host gave (Windows); 0 before it gave one  // the host is resizing: the editor's answer must not ask again
};

}  // namespace iplug
