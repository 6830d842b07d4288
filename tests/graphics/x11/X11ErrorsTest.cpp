#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <atomic>
#include <thread>

#include "graphics/x11/X11Errors.h"

using igraphics::X11Errors;

namespace {

std::atomic<int> gHostErrors{0};

// The host's own handler, installed before any editor opens.
int HostHandler(Display*, XErrorEvent*) {
  gHostErrors.fetch_add(1, std::memory_order_relaxed);
  return 0;
}

// A connection with a window id of its own that names no window any more: every request on
// it fails with BadWindow.
struct FailingConnection {
  FailingConnection() : display(XOpenDisplay(nullptr)) {
    if (!display) return;
    stale = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XDestroyWindow(display, stale);
    XSync(display, False);
  }
  ~FailingConnection() {
    if (display) XCloseDisplay(display);
  }
  void Fail() {
    XUnmapWindow(display, stale);
    XSync(display, False);
  }
  Display* display;
  Window stale = 0;
};

class X11ErrorsTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!host.display || !editor.display) GTEST_SKIP() << "no X display";
    previous = XSetErrorHandler(&HostHandler);
    gHostErrors = 0;
  }
  void TearDown() override {
    if (host.display) XSetErrorHandler(previous);
  }
  FailingConnection host;
  FailingConnection editor;
  XErrorHandler previous = nullptr;
};

TEST_F(X11ErrorsTest, TheEditorsErrorsStayWithItAndTheHostsReachTheHostsHandler) {
  ASSERT_TRUE(X11Errors::Register(editor.display));
  editor.Fail();
  editor.Fail();
  host.Fail();
  EXPECT_EQ(X11Errors::Count(editor.display), 2);
  EXPECT_EQ(gHostErrors.load(), 1) << "only the host's own error reaches its handler";
  X11Errors::Unregister(editor.display);
  EXPECT_EQ(XSetErrorHandler(&HostHandler), &HostHandler) << "the host's handler is back";
  host.Fail();
  EXPECT_EQ(gHostErrors.load(), 2);
}

// Editors open and close on one thread while the host's requests fail on another: the
// handler installed before ours is read by the failing thread while the opening thread
// writes it. Every host error still reaches the host (and under ThreadSanitizer no access
// races).
TEST_F(X11ErrorsTest, EditorsComingAndGoingNeverLoseAHostError) {
  ASSERT_TRUE(X11Errors::Register(editor.display));
  X11Errors::Unregister(editor.display);
  constexpr int kErrors = 300;
  std::atomic<bool> done{false};
  std::thread hostThread([&] {
    for (int i = 0; i < kErrors; ++i) host.Fail();
    done = true;
  });
  int openings = 0;
  while (!done) {
    ASSERT_TRUE(X11Errors::Register(editor.display));
    X11Errors::Unregister(editor.display);
    ++openings;
  }
  hostThread.join();
  EXPECT_EQ(gHostErrors.load(), kErrors) << "after " << openings << " openings";
}

}  // namespace
