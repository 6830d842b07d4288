#pragma once
#include <X11/Xlib.h>

namespace igraphics {

// Errors on the editor's own X connections stay with the editor. A host may destroy the
// window it gave the editor before it closes the editor (LV2 hosts do), and the X server
// then answers the editor's next requests on its window with BadWindow or BadDrawable;
// Xlib's default handler would end the whole host for that. While at least one connection
// is registered, a process-wide handler counts errors of registered connections and hands
// every other error to the handler that was installed before it, so the host's own
// connections are treated as they always were.
//
// Threads: Register and Unregister on the thread that owns the connection (the editor's UI
// thread or its redraw clock); the handler runs on whichever thread Xlib reports an error on.
class X11Errors {
public:
  static constexpr int kMaxConnections = 64;

  // False when every slot is taken (the connection then keeps Xlib's handling).
  static bool Register(Display* display);
  static void Unregister(Display* display);
  // Errors reported on a registered connection so far.
  static int Count(Display* display);
};

}  // namespace igraphics
