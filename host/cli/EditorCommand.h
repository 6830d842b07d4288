#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace tbhost {

// What `tollenbrook-host editor` opens: the module's editor with settings applied.
struct EditorRequest {
  std::vector<std::string> settings;  // "NAME=VALUE", as for render
  std::string modulePath;             // empty: the module beside the host
  double seconds = 0.0;               // > 0: the host closes the window by itself after this long
};

// Opens the plug-in's editor as an AAX host does: the module loaded and an instance made, its
// GUI object created and initialised, the view size asked, a top-level window of that size
// made and handed over as the view container. Audio runs through the module on a thread of
// its own (the demo clip, looped, in real time) so the meters move. Runs until the window is
// closed, then releases everything and checks that the module could be unloaded.
// Needs a window system (Windows, or an X display on Linux): without one it fails with a
// clear message.
// Main thread: it is the host's UI thread for the whole run.
class EditorCommand {
public:
  static bool Run(const EditorRequest& request, std::ostream& out, std::string& error);
};

}  // namespace tbhost
