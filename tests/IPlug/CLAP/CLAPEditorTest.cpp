#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include <memory>

#include "IPlug/CLAP/CLAPTestHost.h"
#include "product/Tollenbrook.h"
#include "support/TestParentWindow.h"

#ifdef _WIN32
#include <windows.h>
#endif

#ifndef _WIN32
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dirent.h>
#include <poll.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#endif

// The editor through the gui extension: its size and the host's resizing within the zoom range
// at its aspect and, on Linux, an X11 window inside the host's that runs only on the host's
// timer and file-descriptor calls.
namespace {

using claptest::Host;
using claptest::Plugin;

TEST(CLAPEditor, SizeAndResizingKeepTheZoomRangeAndAspect) {
  Host host;
  Plugin plug(host);
  const auto* gui = plug.Extension<clap_plugin_gui_t>(CLAP_EXT_GUI);
  ASSERT_NE(gui, nullptr);
#ifdef _WIN32
  const char* api = CLAP_WINDOW_API_WIN32;
#else
  const char* api = CLAP_WINDOW_API_X11;
#endif
  EXPECT_TRUE(gui->is_api_supported(plug.Get(), api, false));
  EXPECT_FALSE(gui->is_api_supported(plug.Get(), api, true)) << "embedded only";
  EXPECT_FALSE(gui->is_api_supported(plug.Get(), "cocoa", false));
  ASSERT_TRUE(gui->create(plug.Get(), api, false));
  EXPECT_TRUE(gui->can_resize(plug.Get()));
  uint32_t w = 0, h = 0;
  ASSERT_TRUE(gui->set_scale(plug.Get(), 1.0));
  ASSERT_TRUE(gui->get_size(plug.Get(), &w, &h));
  EXPECT_EQ(w, 378u);
  EXPECT_EQ(h, 591u);
  clap_gui_resize_hints_t hints{};
  ASSERT_TRUE(gui->get_resize_hints(plug.Get(), &hints));
  EXPECT_TRUE(hints.preserve_aspect_ratio);
  EXPECT_EQ(hints.aspect_ratio_width * 591u, hints.aspect_ratio_height * 378u);

  const struct {
    uint32_t w, h, expectW, expectH;
  } cases[] = {
      {1000, 1000, 640, 1000},  // the height limits: zoom 1000 / 591
      {10, 10, 189, 296},       // half size at least
      {5000, 5000, 756, 1182},  // twice the size at most
      {378, 591, 378, 591},
  };
  for (const auto& c : cases) {
    w = c.w;
    h = c.h;
    ASSERT_TRUE(gui->adjust_size(plug.Get(), &w, &h));
    EXPECT_NEAR(w, c.expectW, 1) << c.w << "x" << c.h;
    EXPECT_NEAR(h, c.expectH, 1) << c.w << "x" << c.h;
  }
  ASSERT_TRUE(gui->set_scale(plug.Get(), 2.0));
  ASSERT_TRUE(gui->get_size(plug.Get(), &w, &h));
  EXPECT_EQ(w, 756u) << "physical pixels";
#ifdef _WIN32
  // A real child window inside the host's.
  clap_window_t window{CLAP_WINDOW_API_WIN32, {}};
  window.win32 = tbtest::TestParentWindow();
  ASSERT_TRUE(gui->set_parent(plug.Get(), &window));
  EXPECT_TRUE(gui->show(plug.Get()));
  EXPECT_NE(GetWindow(static_cast<HWND>(window.win32), GW_CHILD), nullptr);
  EXPECT_TRUE(gui->set_size(plug.Get(), 640, 1000));
#endif
  gui->destroy(plug.Get());
#ifdef _WIN32
  EXPECT_EQ(GetWindow(static_cast<HWND>(window.win32), GW_CHILD), nullptr) << "closed with the gui";
#endif
}

// The corner resizer's new size goes to the host, which resizes its window.
TEST(CLAPEditor, EditorResizeAsksTheHost) {
  Host host;
  std::unique_ptr<iplug::IPlugCLAP> plug(MakePlugInstance(iplug::InstanceInfo{host.Get()}));
  ASSERT_TRUE(plug->Init());
  EXPECT_TRUE(plug->ResizeFromEditor(567, 887, true));
  EXPECT_EQ(host.Log().mResizes, (std::vector<uint32_t>{567, 887}));
}

#ifndef _WIN32
// The names of this process's threads.
std::vector<std::string> Threads() {
  std::vector<std::string> names;
  if (DIR* dir = opendir("/proc/self/task")) {
    while (const dirent* entry = readdir(dir)) {
      if (entry->d_name[0] == '.') continue;
      std::ifstream comm(std::string("/proc/self/task/") + entry->d_name + "/comm");
      std::string name;
      std::getline(comm, name);
      names.push_back(name);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Distinct colours in the window's image: a drawn editor has many, an undrawn window one.
int Colours(Display* display, Window window, int w, int h) {
  XImage* image =
      XGetImage(display, window, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes, ZPixmap);
  if (!image) return 0;
  std::vector<unsigned long> seen;
  for (int y = 0; y < h; y += 7)
    for (int x = 0; x < w; x += 7) {
      const unsigned long p = XGetPixel(image, x, y);
      if (std::find(seen.begin(), seen.end(), p) == seen.end()) seen.push_back(p);
    }
  XDestroyImage(image);
  return static_cast<int>(seen.size());
}

TEST(CLAPEditor, X11EditorRunsOnTheHostsTimerAndFileDescriptorCalls) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) GTEST_SKIP() << "no X display";
  // The software OpenGL driver draws on this thread and keeps no shader cache (whose writer is
  // a thread), so any new thread would be the plug-in's.
  setenv("LP_NUM_THREADS", "0", 1);
  setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
  const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 378, 591, 0, 0, 0);
  XMapWindow(display, parent);
  XSync(display, False);

  Host host;
  Plugin plug(host);
  const auto* gui = plug.Extension<clap_plugin_gui_t>(CLAP_EXT_GUI);
  const auto* timer = plug.Extension<clap_plugin_timer_support_t>(CLAP_EXT_TIMER_SUPPORT);
  const auto* fd = plug.Extension<clap_plugin_posix_fd_support_t>(CLAP_EXT_POSIX_FD_SUPPORT);
  ASSERT_TRUE(gui && timer && fd);
  const std::vector<std::string> threads = Threads();
  ASSERT_TRUE(gui->create(plug.Get(), CLAP_WINDOW_API_X11, false));
  ASSERT_EQ(host.Log().mTimers.size(), 1u) << "the editor asks for the host's timer";
  clap_window_t window{CLAP_WINDOW_API_X11, {}};
  window.x11 = parent;
  ASSERT_TRUE(gui->set_parent(plug.Get(), &window));
  ASSERT_TRUE(gui->show(plug.Get()));
  ASSERT_EQ(host.Log().mFds.size(), 1u) << "the editor's X connection is watched by the host";
  EXPECT_EQ(Threads(), threads) << "no thread of the plug-in's own";

  Window root = 0, parentOf = 0, *children = nullptr;
  unsigned nChildren = 0;
  XQueryTree(display, parent, &root, &parentOf, &children, &nChildren);
  ASSERT_EQ(nChildren, 1u) << "the editor's window inside the host's";
  const Window editor = children[0];
  XFree(children);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_LE(Colours(display, editor, 378, 591), 1) << "nothing drawn without the host's calls";

  // The host's run loop: the timer every 8 ms, the connection whenever it has events.
  const clap_id timerID = host.Log().mTimers[0];
  const int connection = host.Log().mFds[0];
  int colours = 0;
  for (int i = 0; i < 150 && colours < 20; ++i) {
    pollfd p{connection, POLLIN, 0};
    if (poll(&p, 1, 8) > 0) fd->on_fd(plug.Get(), connection, CLAP_POSIX_FD_READ);
    timer->on_timer(plug.Get(), timerID);
    if (i % 10 == 9) colours = Colours(display, editor, 378, 591);
  }
  EXPECT_GE(colours, 20) << "the editor drew on the host's calls";

  gui->destroy(plug.Get());
  EXPECT_TRUE(host.Log().mTimers.empty());
  EXPECT_TRUE(host.Log().mFds.empty());
  XDestroyWindow(display, parent);
  XCloseDisplay(display);
}
#endif

}  // namespace
