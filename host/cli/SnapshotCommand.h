#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace tbhost {

// What `tollenbrook-host snapshot` draws: the editor at a draw scale with settings applied.
struct SnapshotRequest {
  std::string output;                // PNG file
  float scale = 1.0f;                // the editor's zoom, 0.5 to 2
  std::vector<std::string> settings; // "NAME=VALUE", as for render
};

// Opens the product's editor without a window system, with the settings applied as host
// parameter changes and the needles showing the gain reduction of a short render of the demo
// clip, draws one frame and writes the window's pixels to a PNG (written to a temporary file
// and renamed, so a failure leaves nothing behind).
// Main thread: it is the editor's thread for the whole run.
class SnapshotCommand {
public:
  static constexpr float kMinScale = 0.5f;
  static constexpr float kMaxScale = 2.0f;

  static bool Run(const SnapshotRequest& request, std::ostream& out, std::string& error);
};

}  // namespace tbhost
