#pragma once
#include <travesty/view.h>

#include <atomic>
#include <cstdint>

#include "host/aax/HostWindow.h"
#include "host/cli/VST3HostObject.h"
#include "host/cli/VST3RunLoop.h"

namespace tbhost {

// The host's frame around a VST3 plug-in's view: when the view asks to be resized (its corner
// resizer dragged, a zoom), the host window's client area takes the new size and the view is
// told with onSize. On Linux the frame also offers the host's run loop, on which the view runs
// everything it does. The host owns it; it outlives the view. Host main thread.
struct VST3PlugFrame {
  struct Table : v3_funknown {
    v3_plugin_frame frame;
  };

  VST3PlugFrame(aaxhost::HostWindow& hostWindow, VST3RunLoop& loop) : window(&hostWindow), runLoop(&loop) {}
  VST3PlugFrame(const VST3PlugFrame&) = delete;
  VST3PlugFrame& operator=(const VST3PlugFrame&) = delete;

  v3_plugin_frame** Interface() { return reinterpret_cast<v3_plugin_frame**>(this); }

  const Table* table = &kTable;  // first: see VST3HostObject
  std::atomic<uint32_t> refs{1};
  bool ownedByPlugin = false;
  aaxhost::HostWindow* window;
  VST3RunLoop* runLoop;
  int resizeRequests = 0;
  int refusedResizes = 0;
  v3_view_rect lastSize{};

private:
  static const Table kTable;
};

}  // namespace tbhost
