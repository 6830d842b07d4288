#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "host/cli/CLAPEditorWindow.h"
#include "host/cli/CLAPPluginInstance.h"

#include "graphics/headless/IGraphicsHeadless.h"
#include "host/cli/InProcessPluginInstance.h"
#include "IPlug/AAX/IPlugAAX.h"
#include "product/TollenbrookEditor.h"
#include "product/TollenbrookGraphics.h"

// Last: the system's macros would rename the framework's names.
#ifdef _WIN32
#include <windows.h>
#else
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

// Tollenbrook.clap's editor in a window of our host, opened through the gui extension, its
// timer and (Linux) X connection driven by the host's loop; what the window shows is the editor
// the plug-in draws off-screen.
namespace {

// RGB pixels, rows from the top.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
};

#ifdef _WIN32
// What the screen shows in the window's client area, the editor's child window included.
bool ReadWindow(void* handle, Picture& picture) {
  HWND window = static_cast<HWND>(handle);
  RECT client{};
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  picture.width = client.right - client.left;
  picture.height = client.bottom - client.top;
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
// What the X server shows in the window, children included.
bool ReadWindow(void* handle, Picture& picture) {
  const auto window = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(handle));
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  XWindowAttributes attributes{};
  XGetWindowAttributes(display, window, &attributes);
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (image) {
    picture.width = attributes.width;
    picture.height = attributes.height;
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x) {
        const unsigned long px = XGetPixel(image, x, y);
        picture.rgb.insert(picture.rgb.end(), {static_cast<uint8_t>(px >> 16), static_cast<uint8_t>(px >> 8),
                                               static_cast<uint8_t>(px)});
      }
    XDestroyImage(image);
  }
  XCloseDisplay(display);
  return image != nullptr;
}
#endif

// The same editor drawn off-screen by the plug-in linked into the test, at its first frame.
bool OffscreenEditor(Picture& picture) {
  std::string error;
  std::unique_ptr<tbhost::InProcessPluginInstance> instance = tbhost::InProcessPluginInstance::Create(error);
  if (!instance || !instance->Initialise(48000, 2, false, error)) return false;
  iplug::IPlugAAX& plugin = instance->Plugin();
  InstallTollenbrookEditor(plugin, MakeTollenbrookOffscreenGraphics);
  plugin.OpenEditor(nullptr);
  auto* graphics = dynamic_cast<igraphics::IGraphicsHeadless*>(plugin.GetUI());
  if (!graphics || !graphics->WindowIsOpen()) return false;
  plugin.ServiceQueues();
  graphics->SetManualTimeMs(0.0);
  graphics->DrawAll();
  std::vector<uint8_t> rgba;
  const bool read = graphics->ReadWindowPixels(rgba, picture.width, picture.height);
  plugin.CloseEditor();
  for (size_t i = 0; i + 3 < rgba.size(); i += 4) picture.rgb.insert(picture.rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
  return read;
}

TEST(CLAPEditor, OpensInTheHostsWindowRunsOnItsLoopAndShowsTheEditor) {
  const char* bundle = std::getenv("TOLLENBROOK_CLAP_BUNDLE");
  if (!bundle) GTEST_SKIP() << "no CLAP plug-in in this build";
  if (!aaxhost::HostWindow::Supported()) GTEST_SKIP() << "no window system";
  std::string error;
  std::unique_ptr<tbhost::CLAPPluginInstance> plugin = tbhost::CLAPPluginInstance::Create(bundle, error);
  ASSERT_TRUE(plugin) << error;
  std::unique_ptr<tbhost::CLAPEditorWindow> editor = tbhost::CLAPEditorWindow::Open(*plugin, 1.0, true, error);
  ASSERT_TRUE(editor) << error;
  int width = 0, height = 0;
  ASSERT_TRUE(editor->EditorSize(width, height));
  EXPECT_EQ(width, 378);
  EXPECT_EQ(height, 591);

  // On Linux the editor's clock is a timer of the host's and its X connection wakes the host's
  // loop; on Windows its window's own timer runs in the window messages the host pumps.
  tbhost::CLAPRunLoop& loop = plugin->Host().RunLoop();
#ifndef _WIN32
  EXPECT_GE(loop.Timers(), 1u);
  EXPECT_GE(loop.Fds(), 1u);
#endif
  ASSERT_TRUE(editor->Pump(400));
#ifndef _WIN32
  EXPECT_GE(loop.TimerCalls(), 5) << "the timer ran on the host's loop";
#endif
  EXPECT_EQ(plugin->Host().WrongThreadCount(), 0);

  Picture shown, offscreen;
  ASSERT_TRUE(ReadWindow(editor->Window().Handle(), shown));
  ASSERT_TRUE(OffscreenEditor(offscreen));
  const auto [darkest, brightest] = std::minmax_element(shown.rgb.begin(), shown.rgb.end());
  EXPECT_GT(*brightest - *darkest, 128) << "the window shows a picture, not a plain colour";
  ASSERT_EQ(shown.width, offscreen.width);
  ASSERT_EQ(shown.height, offscreen.height);
  size_t apart = 0;
  double sum = 0.0;
  for (size_t i = 0; i < shown.rgb.size(); ++i) {
    const int d = std::abs(shown.rgb[i] - offscreen.rgb[i]);
    sum += d;
    apart += d > 24;
  }
  EXPECT_LT(sum / static_cast<double>(shown.rgb.size()), 2.0) << "mean difference per channel";
  EXPECT_LT(static_cast<double>(apart) / static_cast<double>(shown.rgb.size()), 0.01) << apart << " channels far apart";

  // Dragging the corner larger: the plug-in adjusts to its aspect and the window follows.
  ASSERT_TRUE(editor->Resize(2 * width, 2 * height + 7));
  editor->Pump(50);
  int w = 0, h = 0;
  ASSERT_TRUE(editor->EditorSize(w, h));
  EXPECT_EQ(w, 2 * width);
  EXPECT_EQ(h, 2 * height);
  editor.reset();
  EXPECT_EQ(loop.Fds(), 0u) << "a closed editor leaves nothing on the host's loop";
}

}  // namespace
