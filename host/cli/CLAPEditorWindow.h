#pragma once
#include <memory>
#include <string>

#include "host/aax/HostWindow.h"

namespace tbhost {

class CLAPPluginInstance;

// A CLAP plug-in's editor embedded in a window of our host, as a CLAP host opens it through the
// gui extension: the platform's window system ("x11" on Linux, "win32" on Windows) asked for,
// the editor created, scaled, sized, given the host window as its parent and shown. The host
// window follows the editor's resize requests. The editor's timers and (on Linux) its X
// connection run through the host's run loop, which Pump drives together with the window's own
// messages: nothing of the editor runs on a thread of its own. Closing destroys the editor
// before the window goes. The plug-in instance must outlive this object.
// Main thread.
class CLAPEditorWindow {
public:
  // Null with `error` set when the plug-in has no editor for this window system or refuses a
  // step, or no window can be made. `shown` false: a window nobody looks at.
  static std::unique_ptr<CLAPEditorWindow> Open(CLAPPluginInstance& plugin, double scale, bool shown,
                                                std::string& error);
  ~CLAPEditorWindow();
  CLAPEditorWindow(const CLAPEditorWindow&) = delete;
  CLAPEditorWindow& operator=(const CLAPEditorWindow&) = delete;

  // Handles the window's messages, the run loop's timers and descriptors and the plug-in's
  // main-thread callbacks for about `ms` milliseconds (audio may run on another thread
  // meanwhile); false once the user closed the window.
  bool Pump(int ms);
  // The editor's size as the plug-in gives it now, in pixels.
  bool EditorSize(int& width, int& height) const;
  // Asks the editor for a new size: the plug-in adjusts it to what it can take, and the window
  // follows. False when the editor cannot be resized or refuses.
  bool Resize(int width, int height);
  aaxhost::HostWindow& Window() { return *mWindow; }

private:
  explicit CLAPEditorWindow(CLAPPluginInstance& plugin) : mPlugin(plugin) {}

  CLAPPluginInstance& mPlugin;
  std::unique_ptr<aaxhost::HostWindow> mWindow;
  bool mCreated = false;
};

}  // namespace tbhost
