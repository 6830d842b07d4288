#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "IPlug/VST3/VST3Rig.h"

// The editor in a Linux host's window: opened into the host's X window, driven only by the
// frame's run loop (no thread of its own), sized within its zoom range at its aspect.
namespace {

using namespace vst3test;

// The process's open sockets: the editor's X connection, and one more for each thread that
// waits on the display with a connection of its own.
int Sockets() {
  int n = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (dirent* e = readdir(dir)) {
      char target[64] = {};
      const std::string link = std::string("/proc/self/fd/") + e->d_name;
      if (readlink(link.c_str(), target, sizeof target - 1) > 0 && std::string(target).rfind("socket:", 0) == 0) ++n;
    }
    closedir(dir);
  }
  return n;
}

struct ParentWindow {
  Display* display = XOpenDisplay(nullptr);
  Window window = 0;
  ParentWindow() {
    if (!display) return;
    window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 800, 1200, 0, 0, 0);
    XMapWindow(display, window);
    XSync(display, False);
  }
  ~ParentWindow() {
    if (!display) return;
    XDestroyWindow(display, window);
    XCloseDisplay(display);
  }
  unsigned Children() {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned n = 0;
    XQueryTree(display, window, &root, &parent, &children, &n);
    if (children) XFree(children);
    return n;
  }
};

v3_view_rect Snapped(v3_plugin_view** view, int width, int height) {
  v3_view_rect rect{10, 20, 10 + width, 20 + height};
  v3_cpp_obj(view)->check_size_constraint(view, &rect);
  return {0, 0, rect.right - rect.left, rect.bottom - rect.top};
}

TEST(VST3Editor, RunsOnTheHostsRunLoopAndSizesWithinItsZoomRange) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  ParentWindow parent;
  ASSERT_TRUE(parent.display);
  Module module;
  Plugin p(module);
  ASSERT_TRUE(p.mController) << module.mError;
  auto** view = reinterpret_cast<v3_plugin_view**>(p.E()->create_view(p.mController, "editor"));
  ASSERT_TRUE(view);
  v3_plugin_view& v = *v3_cpp_obj(view);
  EXPECT_EQ(v.is_platform_type_supported(view, V3_VIEW_PLATFORM_TYPE_X11), V3_OK);
  EXPECT_NE(v.is_platform_type_supported(view, V3_VIEW_PLATFORM_TYPE_HWND), V3_OK);
  void* window = reinterpret_cast<void*>(parent.window);

  // A frame without a run loop cannot drive the editor: it does not open.
  EXPECT_NE(v.attached(view, window, V3_VIEW_PLATFORM_TYPE_X11), V3_OK);

  Frame frame;
  v.set_frame(view, frame.Get());
  const int sockets = Sockets();
  ASSERT_EQ(v.attached(view, window, V3_VIEW_PLATFORM_TYPE_X11), V3_OK);
  EXPECT_EQ(Sockets(), sockets + 1) << "one connection, the editor's own: no thread waits on the display";

  EXPECT_EQ(frame.mRunLoop.mTimers.size(), 1u);
  ASSERT_EQ(frame.mRunLoop.mHandlers.size(), 1u);
  EXPECT_GE(frame.mRunLoop.mHandlers[0].second, 0);
  EXPECT_EQ(parent.Children(), 1u);
  for (int i = 0; i < 10; ++i) {
    frame.mRunLoop.FireTimers();
    frame.mRunLoop.FireEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }

  v3_view_rect size{};
  ASSERT_EQ(v.get_size(view, &size), V3_OK);
  const int w = size.right, h = size.bottom;

  // A drag on the "Ratio" knob: the host hears begin, the values, end, in that order.
  auto pump = [&] {
    XSync(parent.display, False);
    for (int i = 0; i < 5; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      frame.mRunLoop.FireEvents();
      frame.mRunLoop.FireTimers();
    }
  };
  auto drag = [&](int x, int y, int dx, int dy) {
    XTestFakeMotionEvent(parent.display, -1, x, y, CurrentTime);
    pump();
    XTestFakeButtonEvent(parent.display, 1, True, CurrentTime);
    pump();
    for (int step = 1; step <= 4; ++step) {
      XTestFakeMotionEvent(parent.display, -1, x + dx * step / 4, y + dy * step / 4, CurrentTime);
      pump();
    }
    XTestFakeButtonEvent(parent.display, 1, False, CurrentTime);
    pump();
  };
  const float zoom = static_cast<float>(w) / 378.f;
  drag(static_cast<int>(195 * zoom), static_cast<int>(463 * zoom), 0, -60);
  const std::string ratio = std::to_string(p.IDOf("Ratio"));
  ASSERT_GE(p.mHandler.mCalls.size(), 3u);
  EXPECT_EQ(p.mHandler.mCalls.front(), "begin " + ratio);
  EXPECT_EQ(p.mHandler.mCalls.back(), "end " + ratio);
  for (size_t i = 1; i + 1 < p.mHandler.mCalls.size(); ++i)
    EXPECT_EQ(p.mHandler.mCalls[i].rfind("perform " + ratio + " ", 0), 0u) << p.mHandler.mCalls[i];
  // The corner resizer asks the frame for a larger window.
  const size_t before = frame.mResizes.size();
  drag(w - 3, h - 3, 60, 90);
  ASSERT_GT(frame.mResizes.size(), before);
  EXPECT_GT(frame.mResizes.back().right, w);
  EXPECT_GT(frame.mResizes.back().bottom, h);
  v3_view_rect back{0, 0, w, h};
  ASSERT_EQ(v.on_size(view, &back), V3_OK);
  ASSERT_GT(w, 0);
  EXPECT_EQ(v.can_resize(view), V3_OK);
  // Sizes snap into half .. twice the editor at its aspect.
  const v3_view_rect huge = Snapped(view, 10 * w, 10 * h);
  const v3_view_rect tiny = Snapped(view, w / 10, h / 10);
  const v3_view_rect wide = Snapped(view, 3 * w / 2, h);
  EXPECT_NEAR(huge.right, 2 * w, 1);
  EXPECT_NEAR(huge.bottom, 2 * h, 1);
  EXPECT_NEAR(tiny.right, w / 2, 1);
  EXPECT_NEAR(wide.right, w, 1);
  EXPECT_NEAR(wide.bottom, h, 1);

  // The host resizes: the editor follows without asking the frame again.
  const size_t resizes = frame.mResizes.size();
  v3_view_rect larger = Snapped(view, 3 * w / 2, 3 * h / 2);
  ASSERT_EQ(v.on_size(view, &larger), V3_OK);
  frame.mRunLoop.FireTimers();
  ASSERT_EQ(v.get_size(view, &size), V3_OK);
  EXPECT_NEAR(size.right, larger.right, 1);
  EXPECT_NEAR(size.bottom, larger.bottom, 1);
  EXPECT_EQ(frame.mResizes.size(), resizes);

  ASSERT_EQ(v.removed(view), V3_OK);
  EXPECT_TRUE(frame.mRunLoop.mTimers.empty());
  EXPECT_TRUE(frame.mRunLoop.mHandlers.empty());
  XSync(parent.display, False);
  EXPECT_EQ(parent.Children(), 0u);

  v3_cpp_obj_unref(view);
}

}  // namespace
#endif

#if defined(_WIN32)
#include <windows.h>

#include "IPlug/VST3/VST3Rig.h"
#include "support/TestParentWindow.h"

// The editor in a Windows host's window: a child of the host's HWND, sized in pixels of the
// content scale the host gives.
namespace {

using namespace vst3test;

TEST(VST3Editor, OpensInTheHostsWindowAtTheHostsContentScale) {
  Module module;
  Plugin p(module);
  ASSERT_TRUE(p.mController) << module.mError;
  auto** view = reinterpret_cast<v3_plugin_view**>(p.E()->create_view(p.mController, "editor"));
  ASSERT_TRUE(view);
  v3_plugin_view& v = *v3_cpp_obj(view);
  EXPECT_EQ(v.is_platform_type_supported(view, V3_VIEW_PLATFORM_TYPE_HWND), V3_OK);
  EXPECT_NE(v.is_platform_type_supported(view, V3_VIEW_PLATFORM_TYPE_X11), V3_OK);
  v3_view_rect unscaled{};
  ASSERT_EQ(v.get_size(view, &unscaled), V3_OK);
  v3_plugin_view_content_scale** scale = nullptr;
  ASSERT_EQ(v3_cpp_obj_query_interface(view, v3_plugin_view_content_scale_iid, &scale), V3_OK);
  // Given before the editor opens, as hosts do: the size asked for follows.
  ASSERT_EQ(v3_cpp_obj(scale)->set_content_scale_factor(scale, 1.5f), V3_OK);
  v3_view_rect before{};
  v.get_size(view, &before);
  EXPECT_NEAR(before.right, unscaled.right * 1.5, 1);

  Frame frame;
  v.set_frame(view, frame.Get());
  auto* parent = static_cast<HWND>(tbtest::TestParentWindow());
  ASSERT_EQ(v.attached(view, parent, V3_VIEW_PLATFORM_TYPE_HWND), V3_OK);
  HWND child = GetWindow(parent, GW_CHILD);
  ASSERT_TRUE(child);
  RECT r{};
  GetWindowRect(child, &r);
  v3_view_rect open{};
  v.get_size(view, &open);
  EXPECT_NEAR(open.right, before.right, 1);
  EXPECT_NEAR(r.right - r.left, open.right, 1);
  ASSERT_EQ(v.removed(view), V3_OK);
  EXPECT_FALSE(GetWindow(parent, GW_CHILD));
  v3_cpp_obj_unref(scale);
  v3_cpp_obj_unref(view);
}

}  // namespace
#endif
