#include "host/cli/CLAPEditorWindow.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

#include "clap/ext/gui.h"
#include "host/cli/CLAPPluginInstance.h"

namespace tbhost {
namespace {
#ifdef _WIN32
constexpr const char* kApi = CLAP_WINDOW_API_WIN32;
#else
constexpr const char* kApi = CLAP_WINDOW_API_X11;
#endif
// The slice of a pump given to the window before the run loop gets its turn.
constexpr int kSliceMs = 2;
}  // namespace

std::unique_ptr<CLAPEditorWindow> CLAPEditorWindow::Open(CLAPPluginInstance& plugin, double scale, bool shown,
                                                         std::string& error) {
  plugin.Host().TakeMainThread();
  const clap_plugin_gui* gui = plugin.Gui();
  const clap_plugin* p = plugin.Plugin();
  if (!gui || !gui->is_api_supported(p, kApi, false)) {
    error = std::string("the plug-in has no editor for the window system ") + kApi;
    return nullptr;
  }
  std::unique_ptr<CLAPEditorWindow> editor(new CLAPEditorWindow(plugin));
  if (!gui->create(p, kApi, false)) {
    error = "the plug-in could not create its editor";
    return nullptr;
  }
  editor->mCreated = true;
  // A plug-in that sizes itself by the system's scale may refuse one from the host.
  gui->set_scale(p, scale);
  int width = 0, height = 0;
  if (!editor->EditorSize(width, height)) {
    error = "the plug-in's editor gives no size";
    return nullptr;
  }
  editor->mWindow = aaxhost::HostWindow::Create("Tollenbrook", width, height, error, shown);
  if (!editor->mWindow) return nullptr;
  aaxhost::HostWindow* window = editor->mWindow.get();
  plugin.Host().SetResizeHandler([window](uint32_t w, uint32_t h) {
    return window->SetClientSize(static_cast<int>(w), static_cast<int>(h));
  });
  clap_window_t parent{};
  parent.api = kApi;
#ifdef _WIN32
  parent.win32 = window->Handle();
#else
  parent.x11 = static_cast<clap_xwnd>(reinterpret_cast<uintptr_t>(window->Handle()));
#endif
  if (!gui->set_parent(p, &parent)) {
    error = "the plug-in's editor refused the host's window";
    return nullptr;
  }
  gui->show(p);
  return editor;
}

CLAPEditorWindow::~CLAPEditorWindow() {
  mPlugin.Host().TakeMainThread();
  mPlugin.Host().SetResizeHandler(nullptr);
  if (const clap_plugin_gui* gui = mPlugin.Gui(); gui && mCreated) {
    gui->hide(mPlugin.Plugin());
    gui->destroy(mPlugin.Plugin());
  }
  mWindow.reset();
}

bool CLAPEditorWindow::Pump(int ms) {
  mPlugin.Host().TakeMainThread();
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  bool open = true;
  do {
    open = mWindow->PumpMessages(0);
    mPlugin.Host().RunLoop().Pump(std::min(ms, kSliceMs));
    mPlugin.ServiceCallbacks();
  } while (open && std::chrono::steady_clock::now() < end);
  return open && mWindow->IsOpen();
}

bool CLAPEditorWindow::EditorSize(int& width, int& height) const {
  uint32_t w = 0, h = 0;
  if (!mPlugin.Gui()->get_size(mPlugin.Plugin(), &w, &h) || w == 0 || h == 0) return false;
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

bool CLAPEditorWindow::Resize(int width, int height) {
  mPlugin.Host().TakeMainThread();
  const clap_plugin_gui* gui = mPlugin.Gui();
  const clap_plugin* p = mPlugin.Plugin();
  if (!gui->can_resize(p) || width <= 0 || height <= 0) return false;
  auto w = static_cast<uint32_t>(width), h = static_cast<uint32_t>(height);
  if (!gui->adjust_size(p, &w, &h) || !gui->set_size(p, w, h)) return false;
  return mWindow->SetClientSize(static_cast<int>(w), static_cast<int>(h));
}

}  // namespace tbhost
