#include "host/cli/VST3Editor.h"

#include <algorithm>

#include "host/cli/VST3PluginInstance.h"

namespace tbhost {
namespace {
#ifdef _WIN32
constexpr const char* kPlatformType = V3_VIEW_PLATFORM_TYPE_HWND;
#else
constexpr const char* kPlatformType = V3_VIEW_PLATFORM_TYPE_X11;
#endif
constexpr int kLinuxIdleMs = 1;
}  // namespace

std::unique_ptr<VST3Editor> VST3Editor::Open(VST3PluginInstance& plugin, aaxhost::HostWindow& window,
                                             std::string& error) {
  std::unique_ptr<VST3Editor> editor(new VST3Editor(plugin, window));
  const VST3Ref<v3_edit_controller>& controller = plugin.Controller();
  editor->mView = VST3Ref<v3_plugin_view>(controller->create_view(controller.Get(), "editor"));
  VST3Ref<v3_plugin_view>& view = editor->mView;
  if (!view) {
    error = "the plug-in made no editor view";
    return nullptr;
  }
  if (view->is_platform_type_supported(view.Get(), kPlatformType) != V3_TRUE) {
    error = std::string("the plug-in's view does not take a ") + kPlatformType + " window";
    return nullptr;
  }
  view->set_frame(view.Get(), editor->mFrame.Interface());
  int width = 0, height = 0;
  if (!editor->Size(width, height)) {
    error = "the plug-in's view has no size";
    return nullptr;
  }
  window.SetClientSize(width, height);
  if (view->attached(view.Get(), window.Handle(), kPlatformType) != V3_OK) {
    error = "the plug-in's view refused to attach to the host's window";
    return nullptr;
  }
  editor->mAttached = true;
  return editor;
}

VST3Editor::~VST3Editor() {
  if (mAttached) mView->removed(mView.Get());
  if (mView) mView->set_frame(mView.Get(), nullptr);
  mView.Reset();
}

bool VST3Editor::Size(int& width, int& height) const {
  v3_view_rect rect{};
  if (mView->get_size(mView.Get(), &rect) != V3_OK) return false;
  width = rect.right - rect.left;
  height = rect.bottom - rect.top;
  return width > 0 && height > 0;
}

bool VST3Editor::Pump(int ms) {
  mPlugin.ShowMetersInController();
#ifdef _WIN32
  return mWindow.PumpMessages(ms);
#else
  // The window's own events, then the view's: its descriptor and timers, for the rest.
  if (!mWindow.PumpMessages(0)) return false;
  mRunLoop.Pump(std::max(ms, kLinuxIdleMs));
  return mWindow.IsOpen();
#endif
}

}  // namespace tbhost
