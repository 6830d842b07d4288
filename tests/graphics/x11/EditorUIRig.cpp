#include "tests/graphics/x11/EditorUIRig.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>
#include <X11/extensions/XTest.h>
#include <dirent.h>
#include <dlfcn.h>
#include <unistd.h>
#include <lilv/lilv.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <thread>

namespace tbtest {

namespace {

std::string BundleDir() {
  const char* path = std::getenv("TOLLENBROOK_LV2_PATH");
  return std::string(path ? path : "") + "/Tollenbrook.lv2/";
}

// The stereo plug-in's port numbers by symbol, read from the bundle's Turtle by lilv, which
// must also find the interface there as hosts do: an X11 UI in TollenbrookUI.so.
std::map<std::string, int> ReadPorts() {
  std::map<std::string, int> ports;
  LilvWorld* world = lilv_world_new();
  LilvNode* bundle = lilv_new_file_uri(world, nullptr, BundleDir().c_str());
  lilv_world_load_bundle(world, bundle);
  LilvNode* uri = lilv_new_uri(world, "urn:vantorell:tollenbrook:stereo");
  if (const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri)) {
    for (uint32_t i = 0; i < lilv_plugin_get_num_ports(plugin); ++i) {
      const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
      ports[lilv_node_as_string(lilv_port_get_symbol(plugin, port))] = static_cast<int>(i);
    }
    LilvUIs* uis = lilv_plugin_get_uis(plugin);
    EXPECT_EQ(lilv_uis_size(uis), 1u);
    LilvNode* x11 = lilv_new_uri(world, LV2_UI__X11UI);
    LILV_FOREACH(uis, it, uis) {
      const LilvUI* ui = lilv_uis_get(uis, it);
      EXPECT_STREQ(lilv_node_as_uri(lilv_ui_get_uri(ui)), "urn:vantorell:tollenbrook:ui");
      EXPECT_TRUE(lilv_ui_is_a(ui, x11));
      const std::string binary = lilv_node_as_uri(lilv_ui_get_binary_uri(ui));
      EXPECT_EQ(binary.substr(binary.rfind('/') + 1), "TollenbrookUI.so");
    }
    lilv_node_free(x11);
    lilv_uis_free(uis);
  }
  lilv_node_free(uri);
  lilv_node_free(bundle);
  lilv_world_free(world);
  return ports;
}

int Entries(const char* dir) {
  int n = 0;
  if (DIR* d = opendir(dir)) {
    while (readdir(d)) ++n;
    closedir(d);
  }
  return n;
}

}  // namespace

std::ostream& operator<<(std::ostream& os, const Holdings& h) {
  return os << h.clients << " connections, " << h.resources << " X resources, " << h.children << " windows, "
            << h.fds << " files, " << h.threads << " threads";
}

void EditorUIRig::SetUp() {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display || !(mDisplay = XOpenDisplay(nullptr)))
    GTEST_SKIP() << "no X display (scripts/test starts an Xvfb)";
  int event, error, major, minor;
  ASSERT_TRUE(XTestQueryExtension(mDisplay, &event, &error, &major, &minor)) << "the server offers XTest";
  mParent = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), kParentX, 0, kParentWidth, kParentHeight, 0, 0, 0);
  XMapWindow(mDisplay, mParent);
  XSync(mDisplay, False);
  mPorts = ReadPorts();
  ASSERT_FALSE(mPorts.empty()) << "the bundle at " << BundleDir();
  mLibrary = dlopen((BundleDir() + "TollenbrookUI.so").c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(mLibrary, nullptr) << dlerror();
  auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(mLibrary, "lv2ui_descriptor"));
  ASSERT_NE(entry, nullptr);
  mDescriptor = entry(0);
  ASSERT_NE(mDescriptor, nullptr);
  EXPECT_STREQ(mDescriptor->URI, "urn:vantorell:tollenbrook:ui");
  EXPECT_EQ(entry(1), nullptr);
  mIdle = static_cast<const LV2UI_Idle_Interface*>(mDescriptor->extension_data(LV2_UI__idleInterface));
  ASSERT_NE(mIdle, nullptr);
}

void EditorUIRig::TearDown() {
  Close();
  if (mDisplay) {
    if (mParent) XDestroyWindow(mDisplay, mParent);
    XCloseDisplay(mDisplay);
  }
  // The binary stays loaded (it asks for that); dlclose only drops the reference.
  if (mLibrary) dlclose(mLibrary);
}

bool EditorUIRig::Open() {
  mResize = {this, Resize};
  mTouch = {this, Touch};
  const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(mParent)};
  const LV2_Feature resizeFeature{LV2_UI__resize, &mResize};
  const LV2_Feature touchFeature{LV2_UI__touch, &mTouch};
  const LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
  const LV2_Feature* features[] = {&parentFeature, &resizeFeature, &touchFeature, &idleFeature, nullptr};
  LV2UI_Widget widget = nullptr;
  mHandle = mDescriptor->instantiate(mDescriptor, kStereoURI, BundleDir().c_str(), Write, this, &widget, features);
  mWidget = reinterpret_cast<unsigned long>(widget);
  return mHandle && mWidget;
}

void EditorUIRig::Close() {
  if (mHandle) mDescriptor->cleanup(mHandle);
  mHandle = nullptr;
  mWidget = 0;
  if (mDisplay) XSync(mDisplay, False);
}

void EditorUIRig::Idle(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  do {
    if (mHandle) {
      EXPECT_EQ(mIdle->idle(mHandle), 0);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  } while (std::chrono::steady_clock::now() < end);
}

int EditorUIRig::Port(const char* symbol) const {
  const auto it = mPorts.find(symbol);
  return it == mPorts.end() ? -1 : it->second;
}

void EditorUIRig::SendPort(const char* symbol, float value) {
  const int port = Port(symbol);
  ASSERT_GE(port, 0) << symbol;
  mDescriptor->port_event(mHandle, static_cast<uint32_t>(port), sizeof value, 0, &value);
}

float EditorUIRig::Written(const char* symbol) const {
  const auto it = mWrites.find(Port(symbol));
  return it == mWrites.end() ? std::numeric_limits<float>::quiet_NaN() : it->second;
}

void EditorUIRig::WindowOrigin(int& x, int& y) {
  Window child;
  XTranslateCoordinates(mDisplay, mWidget, DefaultRootWindow(mDisplay), 0, 0, &x, &y, &child);
}

void EditorUIRig::MoveTo(int x, int y) {
  XRaiseWindow(mDisplay, mParent);
  int ox = 0, oy = 0;
  WindowOrigin(ox, oy);
  XTestFakeMotionEvent(mDisplay, -1, ox + x, oy + y, CurrentTime);
  XSync(mDisplay, False);
  Idle(60);
}

void EditorUIRig::Press(int button) {
  XTestFakeButtonEvent(mDisplay, static_cast<unsigned>(button), True, CurrentTime);
  XSync(mDisplay, False);
  Idle(60);
}

void EditorUIRig::Release(int button) {
  XTestFakeButtonEvent(mDisplay, static_cast<unsigned>(button), False, CurrentTime);
  XSync(mDisplay, False);
  Idle(60);
}

void EditorUIRig::Drag(int x0, int y0, int x1, int y1) {
  MoveTo(x0, y0);
  Press(1);
  constexpr int kSteps = 8;
  for (int i = 1; i <= kSteps; ++i) MoveTo(x0 + (x1 - x0) * i / kSteps, y0 + (y1 - y0) * i / kSteps);
  Release(1);
}

void EditorUIRig::Click(int x, int y, int button) {
  MoveTo(x, y);
  Press(button);
  Release(button);
}

bool EditorUIRig::WidgetSize(int& width, int& height) {
  XWindowAttributes attributes;
  if (!mWidget || !XGetWindowAttributes(mDisplay, mWidget, &attributes)) return false;
  width = attributes.width;
  height = attributes.height;
  return true;
}

bool EditorUIRig::ResourceCountsAvailable() {
  int event, error, major, minor;
  return XResQueryExtension(mDisplay, &event, &error) && XResQueryVersion(mDisplay, &major, &minor) &&
         (major > 1 || (major == 1 && minor >= 2));
}

// Only this process's connections count: other programs may use the same server.
Holdings EditorUIRig::Count() {
  Holdings h;
  XResClientIdSpec wanted{0, XRES_CLIENT_ID_PID_MASK};
  long n = 0;
  XResClientIdValue* ids = nullptr;
  if (XResQueryClientIds(mDisplay, 1, &wanted, &n, &ids) == Success) {
    for (long i = 0; i < n; ++i) {
      if (XResGetClientPid(&ids[i]) != getpid()) continue;
      ++h.clients;
      [[maybe_unused]] const auto& [clientId, idLength, idValue] = ids[i];
      int types = 0;
      XResType* counts = nullptr;
      // Unlike the client-id query, this older call answers non-zero on success.
      if (XResQueryClientResources(mDisplay, clientId.client, &types, &counts)) {
        for (int t = 0; t < types; ++t) h.resources += static_cast<int>(counts[t].count);
        XFree(counts);
      }
    }
    XResClientIdsDestroy(n, ids);
  }
  Window root, up, *children = nullptr;
  unsigned int nChildren = 0;
  if (XQueryTree(mDisplay, mParent, &root, &up, &children, &nChildren)) {
    h.children = static_cast<int>(nChildren);
    if (children) XFree(children);
  }
  h.fds = Entries("/proc/self/fd");
  h.threads = Entries("/proc/self/task");
  return h;
}

Image EditorUIRig::WindowImage() {
  Image image;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(mDisplay, mWidget, &attributes)) return image;
  XImage* x = XGetImage(mDisplay, mWidget, 0, 0, static_cast<unsigned>(attributes.width),
                        static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (!x) return image;
  image.w = attributes.width;
  image.h = attributes.height;
  image.px.resize(static_cast<size_t>(image.w) * static_cast<size_t>(image.h) * 4);
  for (int y = 0; y < image.h; ++y)
    for (int xx = 0; xx < image.w; ++xx) {
      const unsigned long p = XGetPixel(x, xx, y);
      uint8_t* out = &image.px[(static_cast<size_t>(y) * static_cast<size_t>(image.w) + static_cast<size_t>(xx)) * 4];
      out[0] = static_cast<uint8_t>((p & x->red_mask) >> 16);
      out[1] = static_cast<uint8_t>((p & x->green_mask) >> 8);
      out[2] = static_cast<uint8_t>(p & x->blue_mask);
      out[3] = 255;
    }
  XDestroyImage(x);
  return image;
}

void EditorUIRig::Write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol,
                        const void* buffer) {
  auto* rig = static_cast<EditorUIRig*>(controller);
  EXPECT_EQ(protocol, 0u) << "control values only";
  EXPECT_EQ(size, sizeof(float));
  float value = 0.f;
  std::memcpy(&value, buffer, sizeof value);
  rig->mWrites[static_cast<int>(port)] = value;
}

void EditorUIRig::Touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
  static_cast<EditorUIRig*>(handle)->mTouches.emplace_back(static_cast<int>(port), grabbed);
}

int EditorUIRig::Resize(LV2UI_Feature_Handle handle, int width, int height) {
  static_cast<EditorUIRig*>(handle)->mResizes.emplace_back(width, height);
  return 0;
}

}  // namespace tbtest
