#include "host/cli/VST3PlugFrame.h"

namespace tbhost {
namespace {

VST3PlugFrame& Of(void* self) { return *static_cast<VST3PlugFrame*>(self); }

// The frame itself, and on Linux the run loop it offers.
v3_result V3_API QueryInterface(void* self, const v3_tuid iid, void** obj) {
  VST3PlugFrame& frame = Of(self);
#ifndef _WIN32
  if (v3_tuid_match(iid, v3_run_loop_iid)) {
    frame.runLoop->refs.fetch_add(1, std::memory_order_relaxed);
    *obj = frame.runLoop;
    return V3_OK;
  }
#endif
  if (v3_tuid_match(iid, v3_funknown_iid) || v3_tuid_match(iid, v3_plugin_frame_iid)) {
    frame.refs.fetch_add(1, std::memory_order_relaxed);
    *obj = self;
    return V3_OK;
  }
  *obj = nullptr;
  return V3_NO_INTERFACE;
}

v3_result V3_API ResizeView(void* self, v3_plugin_view** view, v3_view_rect* rect) {
  VST3PlugFrame& frame = Of(self);
  ++frame.resizeRequests;
  if (!view || !rect) return V3_INVALID_ARG;
  const int width = rect->right - rect->left;
  const int height = rect->bottom - rect->top;
  if (!frame.window->SetClientSize(width, height)) {
    ++frame.refusedResizes;
    return V3_FALSE;
  }
  frame.lastSize = *rect;
  v3_cpp_obj(view)->on_size(view, rect);
  return V3_OK;
}

}  // namespace

const VST3PlugFrame::Table VST3PlugFrame::kTable{
    {&QueryInterface, &VST3HostObject<VST3PlugFrame>::Ref, &VST3HostObject<VST3PlugFrame>::Unref}, {&ResizeView}};

}  // namespace tbhost
