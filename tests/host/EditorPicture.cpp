#include "EditorPicture.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "host/cli/InProcessPluginInstance.h"
#include "host/cli/OffscreenEditor.h"

// Last: the system's macros would rename the framework's names.
#ifdef _WIN32
#include <windows.h>
#else
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

namespace tbtest {

#ifdef _WIN32
// Copied from the screen, so a child window drawn with OpenGL is seen as the user sees it.
bool ReadWindowPicture(void* handle, EditorPicture& picture) {
  HWND window = static_cast<HWND>(handle);
  RECT client{};
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  picture = {client.right - client.left, client.bottom - client.top, {}};
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  const bool copied = BitBlt(memory, 0, 0, picture.width, picture.height, screen, origin.x, origin.y, SRCCOPY) != 0;
  GdiFlush();
  const auto* bgra = static_cast<const uint8_t*>(bits);
  for (size_t i = 0; copied && i < static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height); ++i)
    picture.rgb.insert(picture.rgb.end(), {bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]});
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return copied;
}
#else
// Through a connection of the test's own, so the plug-in's connection is left alone.
bool ReadWindowPicture(void* handle, EditorPicture& picture) {
  const auto window = static_cast<Window>(reinterpret_cast<uintptr_t>(handle));
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  XWindowAttributes attributes{};
  XImage* image = nullptr;
  if (XGetWindowAttributes(display, window, &attributes))
    image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                      static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (image) {
    picture = {attributes.width, attributes.height, {}};
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x) {
        const unsigned long px = XGetPixel(image, x, y);
        picture.rgb.insert(picture.rgb.end(), {static_cast<uint8_t>((px & image->red_mask) >> 16),
                                               static_cast<uint8_t>((px & image->green_mask) >> 8),
                                               static_cast<uint8_t>(px & image->blue_mask)});
      }
    XDestroyImage(image);
  }
  XCloseDisplay(display);
  return image != nullptr;
}
#endif

bool ReadSettledWindowPicture(void* handle, const std::function<void()>& pump, EditorPicture& picture) {
  EditorPicture before;
  for (int round = 0; round < 40; ++round) {
    pump();
    picture = {};
    if (!ReadWindowPicture(handle, picture)) continue;
    const auto [darkest, brightest] = std::minmax_element(picture.rgb.begin(), picture.rgb.end());
    const bool drawn = !picture.rgb.empty() && *brightest - *darkest > 64;
    if (drawn && picture.rgb == before.rgb) return true;
    before = picture;
  }
  return false;
}

bool DrawOffscreenEditor(const std::vector<tbhost::ParamSetting>& settings, EditorPicture& picture,
                         std::string& error) {
  std::unique_ptr<tbhost::InProcessPluginInstance> instance = tbhost::InProcessPluginInstance::Create(error);
  if (!instance || !instance->Initialise(48000, 2, false, error)) return false;
  for (const tbhost::ParamSetting& s : settings) instance->SetParameter(s.index, s.value);
  tbhost::EditorPixels pixels;
  if (!tbhost::DrawEditorOffscreen(instance->Plugin(), 1.0f, pixels, error)) return false;
  picture = {pixels.width, pixels.height, {}};
  for (size_t i = 0; i + 3 < pixels.rgba.size(); i += 4)
    picture.rgb.insert(picture.rgb.end(), {pixels.rgba[i], pixels.rgba[i + 1], pixels.rgba[i + 2]});
  return true;
}

PictureDifference Compare(const EditorPicture& a, const EditorPicture& b, int distance) {
  PictureDifference difference;
  if (a.rgb.empty() || a.rgb.size() != b.rgb.size()) return {255.0, 1.0};
  size_t apart = 0;
  double sum = 0.0;
  for (size_t i = 0; i < a.rgb.size(); ++i) {
    const int d = std::abs(static_cast<int>(a.rgb[i]) - static_cast<int>(b.rgb[i]));
    sum += d;
    apart += d > distance;
  }
  difference.mean = sum / static_cast<double>(a.rgb.size());
  difference.farFraction = static_cast<double>(apart) / static_cast<double>(a.rgb.size());
  return difference;
}

}  // namespace tbtest
