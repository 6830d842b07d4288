#pragma once
#include <gtest/gtest.h>
#include <lv2/ui/ui.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/graphics/nanovg/HeadlessEditor.h"

struct _XDisplay;

namespace tbtest {

// What this process holds on the X server and in the system.
struct Holdings {
  int clients = 0;    // connections of this process
  int resources = 0;  // windows, GL contexts, pixmaps, cursors ... of those connections
  int children = 0;   // windows inside the host's window
  int fds = 0;
  int threads = 0;
  bool operator==(const Holdings&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Holdings& h);

// The bundle's user interface binary loaded as an LV2 host loads it (dlopen, lv2ui_descriptor),
// instantiated inside a top-level X window of the test's own (ui:parent), with ui:resize,
// ui:touch and the idle interface; the host's side records every port write, gesture and
// resize. Input reaches the editor as real X events through XTest, and pictures are read
// from the X server (what the window shows). Needs an X display: skipped without one.
class EditorUIRig : public ::testing::Test {
protected:
  // The host's window stands right of where other tests' windows open (at the origin), on the
  // 1280 x 1024 screen scripts/test gives, with room for the editor at zoom 1.5.
  static constexpr int kParentX = 680;
  static constexpr int kParentWidth = 600;
  static constexpr int kParentHeight = 1000;
  static constexpr const char* kStereoURI = "urn:vantorell:tollenbrook:stereo";

  void SetUp() override;
  void TearDown() override;

  // Instantiates the interface for the stereo plug-in; true when it returned a widget.
  bool Open();
  void Close();
  // Idle calls (every 10 ms) for about `ms` milliseconds.
  void Idle(int ms);
  // The port number of a symbol of the stereo plug-in, -1 when there is none.
  int Port(const char* symbol) const;
  // A host's port_event with a float value.
  void SendPort(const char* symbol, float value);
  // The last value the interface wrote to a port (NaN when it wrote none).
  float Written(const char* symbol) const;

  // XTest input at window coordinates of the editor, then idle calls so it is handled.
  void MoveTo(int x, int y);
  void Press(int button);
  void Release(int button);
  void Drag(int x0, int y0, int x1, int y1);
  void Click(int x, int y, int button = 1);
  // The editor window's size as the server has it; false without a window.
  bool WidgetSize(int& width, int& height);
  // Whether the server counts resources per client (X-Resource 1.2), and the counts.
  bool ResourceCountsAvailable();
  Holdings Count();
  // The editor window's pixels as the server holds them (RGBA, alpha 255).
  Image WindowImage();

  _XDisplay* mDisplay = nullptr;
  unsigned long mParent = 0;
  void* mLibrary = nullptr;
  const LV2UI_Descriptor* mDescriptor = nullptr;
  LV2UI_Handle mHandle = nullptr;
  unsigned long mWidget = 0;
  const LV2UI_Idle_Interface* mIdle = nullptr;
  std::map<std::string, int> mPorts;                 // symbol -> index
  std::map<int, float> mWrites;                      // port -> last value written
  std::vector<std::pair<int, bool>> mTouches;        // port, grabbed
  std::vector<std::pair<int, int>> mResizes;         // width, height asked of the host

private:
  // The data of the resize and touch features, which the interface keeps.
  LV2UI_Resize mResize{};
  LV2UI_Touch mTouch{};
  static void Write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol, const void* buffer);
  static void Touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed);
  static int Resize(LV2UI_Feature_Handle handle, int width, int height);
  void WindowOrigin(int& x, int& y);
};

}  // namespace tbtest
