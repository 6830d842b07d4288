#include "graphics/x11/ScreenScale.h"

#include <X11/Xatom.h>
#include <X11/Xresource.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <string>

namespace igraphics {

namespace {
constexpr float kMinScale = 0.5f;
constexpr float kMaxScale = 4.f;
}  // namespace

float ScaleFromXResources(const char* resources) {
  if (!resources || !*resources) return 1.f;
  static std::once_flag init;
  std::call_once(init, [] { XrmInitialize(); });
  XrmDatabase db = XrmGetStringDatabase(resources);
  if (!db) return 1.f;
  char* type = nullptr;
  XrmValue value{};
  float scale = 1.f;
  if (XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr && value.size > 0) {
    const std::string text(value.addr, value.size);
    char* end = nullptr;
    const double dpi = std::strtod(text.c_str(), &end);
    if (end != text.c_str() && std::isfinite(dpi) && dpi > 0.0)
      scale = std::clamp(static_cast<float>(dpi / 96.0), kMinScale, kMaxScale);
  }
  XrmDestroyDatabase(db);
  return scale;
}

float ReadScreenScale(Display* display) {
  if (!display) return 1.f;
  Atom type = None;
  int format = 0;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER, 0, 1L << 20, False,
                                        XA_STRING, &type, &format, &n, &after, &data);
  float scale = 1.f;
  if (status == Success && data && type == XA_STRING && format == 8)
    scale = ScaleFromXResources(std::string(reinterpret_cast<const char*>(data), n).c_str());
  if (data) XFree(data);
  return scale;
}

}  // namespace igraphics
