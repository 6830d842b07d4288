#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "graphics/headless/IGraphicsHeadless.h"
#include "host/aax/HostWindow.h"
#include "host/cli/InProcessPluginInstance.h"
#include "host/cli/VST3Editor.h"
#include "host/cli/VST3PluginInstance.h"
#include "IPlug/AAX/IPlugAAX.h"
#include "product/TollenbrookEditor.h"
#include "product/TollenbrookGraphics.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

// The VST3 bundle's editor opened by our host in a real window (Win32 under Wine, X11 under
// Xvfb), its picture read back from the window system and compared with the product's
// editor drawn off-screen.
namespace {

struct Picture {
  int w = 0, h = 0;
  std::vector<uint8_t> rgba;  // rows from the top
};

#ifdef _WIN32
// The editor's child window's pixels, as the system shows them.
Picture Capture(const aaxhost::HostWindow& window) {
  Picture p;
  HWND child = GetWindow(static_cast<HWND>(window.Handle()), GW_CHILD);
  if (!child) return p;
  RECT r;
  GetClientRect(child, &r);
  p.w = r.right - r.left;
  p.h = r.bottom - r.top;
  HDC from = GetDC(child);
  HDC into = CreateCompatibleDC(from);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = p.w;
  info.bmiHeader.biHeight = -p.h;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(from, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(into, bitmap);
  BitBlt(into, 0, 0, p.w, p.h, from, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* bgra = static_cast<const uint8_t*>(bits);
  p.rgba.resize(static_cast<size_t>(p.w) * static_cast<size_t>(p.h) * 4);
  for (size_t i = 0; i < p.rgba.size(); i += 4) {
    p.rgba[i] = bgra[i + 2];
    p.rgba[i + 1] = bgra[i + 1];
    p.rgba[i + 2] = bgra[i];
    p.rgba[i + 3] = 255;
  }
  SelectObject(into, old);
  DeleteObject(bitmap);
  DeleteDC(into);
  ReleaseDC(child, from);
  return p;
}
#else
// The host window with the editor inside, through a connection of the test's own.
Picture Capture(const aaxhost::HostWindow& window) {
  Picture p;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return p;
  const auto id = static_cast<Window>(reinterpret_cast<uintptr_t>(window.Handle()));
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display, id, &attributes)) {
    if (XImage* image = XGetImage(display, id, 0, 0, static_cast<unsigned>(attributes.width),
                                  static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap)) {
      p.w = attributes.width;
      p.h = attributes.height;
      p.rgba.resize(static_cast<size_t>(p.w) * static_cast<size_t>(p.h) * 4);
      for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
          const unsigned long px = XGetPixel(image, x, y);
          uint8_t* out = &p.rgba[(static_cast<size_t>(y) * static_cast<size_t>(p.w) + static_cast<size_t>(x)) * 4];
          out[0] = static_cast<uint8_t>((px & image->red_mask) >> 16);
          out[1] = static_cast<uint8_t>((px & image->green_mask) >> 8);
          out[2] = static_cast<uint8_t>(px & image->blue_mask);
          out[3] = 255;
        }
      XDestroyImage(image);
    }
  }
  XCloseDisplay(display);
  return p;
}
#endif

// The product's editor with `settings`, drawn off-screen by the plug-in linked into the host.
bool Offscreen(const std::vector<tbhost::ParamSetting>& settings, Picture& p, std::string& error) {
  std::unique_ptr<tbhost::InProcessPluginInstance> instance = tbhost::InProcessPluginInstance::Create(error);
  if (!instance) return false;
  for (const tbhost::ParamSetting& s : settings) instance->SetParameter(s.index, s.value);
  iplug::IPlugAAX& plugin = instance->Plugin();
  InstallTollenbrookEditor(plugin, MakeTollenbrookOffscreenGraphics);
  plugin.OpenEditor(nullptr);
  auto* graphics = dynamic_cast<igraphics::IGraphicsHeadless*>(plugin.GetUI());
  if (!graphics || !graphics->WindowIsOpen()) {
    plugin.CloseEditor();
    error = "no off-screen OpenGL context";
    return false;
  }
  plugin.ServiceQueues();
  graphics->SetManualTimeMs(0.0);
  graphics->DrawAll();
  const bool read = graphics->ReadWindowPixels(p.rgba, p.w, p.h);
  plugin.CloseEditor();
  return read;
}

// The bundle's view opened by the host after it set `settings`, against the off-screen editor
// with the same settings.
void ExpectTheViewShowsWhatTheOffscreenEditorDraws(const std::vector<tbhost::ParamSetting>& settings) {
  const char* bundle = std::getenv("TOLLENBROOK_VST3_BUNDLE");
  ASSERT_NE(bundle, nullptr) << "the bundle is built with the tests";
  std::string error;
  Picture reference;
  ASSERT_TRUE(Offscreen(settings, reference, error)) << error;

  std::unique_ptr<tbhost::VST3PluginInstance> plugin = tbhost::VST3PluginInstance::Create(bundle, error);
  ASSERT_NE(plugin, nullptr) << error;
  for (const tbhost::ParamSetting& s : settings) plugin->SetParameter(s.index, s.value);
  std::unique_ptr<tbhost::VST3Editor> editor = tbhost::VST3Editor::Open(*plugin, "VST3 editor test", error);
  ASSERT_NE(editor, nullptr) << error;
  aaxhost::HostWindow& window = editor->Window();
  int width = 0, height = 0;
  ASSERT_TRUE(editor->Size(width, height));
  EXPECT_EQ(width, reference.w);
  EXPECT_EQ(height, reference.h);
  int clientWidth = 0, clientHeight = 0;
  window.GetClientSize(clientWidth, clientHeight);
  EXPECT_EQ(clientWidth, width) << "the host's window takes the view's size";
  EXPECT_EQ(clientHeight, height);

  // Pumped until two pictures a while apart agree: the editor has drawn what it had to.
  Picture shown, before;
  for (int round = 0; round < 20; ++round) {
    editor->Pump(150);
    shown = Capture(window);
    if (!shown.rgba.empty() && shown.rgba == before.rgba) break;
    before = shown;
  }
#ifndef _WIN32
  EXPECT_GT(editor->RunLoop().Timers() + editor->RunLoop().Handlers(), 0u) << "the view runs on the host's loop";
#endif
  ASSERT_EQ(shown.w, reference.w);
  ASSERT_EQ(shown.h, reference.h);
  int outliers = 0;
  double sum = 0.0;
  for (size_t i = 0; i < shown.rgba.size(); ++i) {
    const int d = std::abs(static_cast<int>(shown.rgba[i]) - static_cast<int>(reference.rgba[i]));
    sum += d;
    if (d > 8) ++outliers;
  }
  EXPECT_LE(sum / static_cast<double>(shown.rgba.size()), 0.5);
  EXPECT_LE(outliers, static_cast<int>(shown.rgba.size() / 1000)) << "channel values differing by more than 8";
  editor.reset();
  EXPECT_EQ(plugin->Handler().editsOutsideGestures.load(), 0);
}

TEST(VST3Editor, OpensInTheHostsWindowAndShowsWhatTheOffscreenEditorDraws) {
  ExpectTheViewShowsWhatTheOffscreenEditorDraws({});
}

// Ratio 6:1 and Gain 7dB (the same indices in both plug-ins' tables), set by the host through
// the controller before the view opens.
TEST(VST3Editor, ShowsTheValuesTheHostSetBeforeItOpened) {
  ExpectTheViewShowsWhatTheOffscreenEditorDraws({{4, 4.0}, {2, 7.0}});
}

}  // namespace
