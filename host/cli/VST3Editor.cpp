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

namespace {
// The view's size as it reports it; false when it has none.
bool SizeOf(const VST3Ref<v3_plugin_view>& view, int& width, int& height) {
  v3_view_rect rect{};
  if (view->get_size(view.Get(), &rect) != V3_OK) return false;
  width = rect.right - rect.left;
  height = rect.bottom - rect.top;
  return width > 0 && height > 0;
}
}  // namespace

std::unique_ptr<VST3Editor> VST3Editor::Open(VST3PluginInstance& plugin, const char* title, std::string& error) {
  const VST3Ref<v3_edit_controller>& controller = plugin.Controller();
  VST3Ref<v3_plugin_view> view(controller->create_view(controller.Get(), "editor"));
  if (!view) {
    error = "the plug-in made no editor view";
    return nullptr;
  }
  if (view->is_platform_type_supported(view.Get(), kPlatformType) != V3_TRUE) {
    error = std::string("the plug-in's view does not take a ") + kPlatformType + " window";
    return nullptr;
  }
  int width = 0, height = 0;
  if (!SizeOf(view, width, height)) {
    error = "the plug-in's view has no size";
    return nullptr;
  }
  std::unique_ptr<aaxhost::HostWindow> window = aaxhost::HostWindow::Create(title, width, height, error);
  if (!window) return nullptr;
  std::unique_ptr<VST3Editor> editor(new VST3Editor(plugin, std::move(window)));
  editor->mView = std::move(view);
  VST3Ref<v3_plugin_view>& v = editor->mView;
  v->set_frame(v.Get(), editor->mFrame.Interface());
  if (v->attached(v.Get(), editor->mWindow->Handle(), kPlatformType) != V3_OK) {
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

bool VST3Editor::Size(int& width, int& height) const { return SizeOf(mView, width, height); }

bool VST3Editor::Pump(int ms) {
  mPlugin.ShowMetersInController();
#ifdef _WIN32
  return mWindow->PumpMessages(ms);
#else
  // The window's own events, then the view's: its descriptor and timers, for the rest.
  if (!mWindow->PumpMessages(0)) return false;
  mRunLoop.Pump(std::max(ms, kLinuxIdleMs));
  return mWindow->IsOpen();
#endif
}

}  // namespace tbhost
