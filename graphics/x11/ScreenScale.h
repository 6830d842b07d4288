#pragma once
#include <X11/Xlib.h>

namespace igraphics {

// Device pixels per logical unit as X desktops state it: the resource Xft.dpi over 96 (the
// value every toolkit and Xft itself reads), 1 when the resources do not set it or set
// something unreadable; clamped to 0.5 .. 4 so that a stray value cannot ask for a
// framebuffer of absurd size.
float ScaleFromXResources(const char* resources);

// The scale from the display's resources as they are now: the root window's
// RESOURCE_MANAGER property, read afresh (Xlib's own copy is the one from when the
// connection opened, and desktops change the property when the user changes the scale).
// The thread that owns the connection.
float ReadScreenScale(Display* display);

}  // namespace igraphics
