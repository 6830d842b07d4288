#pragma once
#include <travesty/view.h>

#include <memory>
#include <string>

#include "host/aax/HostWindow.h"
#include "host/cli/VST3PlugFrame.h"
#include "host/cli/VST3Ref.h"
#include "host/cli/VST3RunLoop.h"

namespace tbhost {

class VST3PluginInstance;

// A VST3 plug-in's view opened in a window of the host, as a VST3 host opens it: the
// controller's "editor" view, checked for this system's window type (HWND, X11EmbedWindowID),
// given the host's frame (and with it, on Linux, the host's run loop), a window of the host
// made at the view's size, and the view attached to it. Closing removes the view and gives it
// back before the window goes. Host main thread.
class VST3Editor {
public:
  // Null with `error` set when the plug-in makes no view, the view does not take this
  // system's windows, or it refuses to attach.
  static std::unique_ptr<VST3Editor> Open(VST3PluginInstance& plugin, const char* title, std::string& error);
  ~VST3Editor();
  VST3Editor(const VST3Editor&) = delete;
  VST3Editor& operator=(const VST3Editor&) = delete;

  // The host's idle work for about `ms` milliseconds: the meters' readings passed on to the
  // controller, the window's messages and, on Linux, the run loop the view registered with.
  // False once the window is closed.
  bool Pump(int ms);
  // The view's size as it reports it now.
  bool Size(int& width, int& height) const;
  const VST3Ref<v3_plugin_view>& View() const { return mView; }
  VST3PlugFrame& Frame() { return mFrame; }
  VST3RunLoop& RunLoop() { return mRunLoop; }
  aaxhost::HostWindow& Window() { return *mWindow; }

private:
  VST3Editor(VST3PluginInstance& plugin, std::unique_ptr<aaxhost::HostWindow> window)
      : mPlugin(plugin), mWindow(std::move(window)), mFrame(*mWindow, mRunLoop) {}

  VST3PluginInstance& mPlugin;
  std::unique_ptr<aaxhost::HostWindow> mWindow;  // goes after the view
  VST3RunLoop mRunLoop;
  VST3PlugFrame mFrame;
  VST3Ref<v3_plugin_view> mView;
  bool mAttached = false;
};

}  // namespace tbhost
