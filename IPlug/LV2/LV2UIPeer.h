#pragma once

namespace iplug {

// Where the plug-in object behind an LV2 user interface sends what its editor does. That
// object never processes audio: it holds the parameters and the editor, and everything a
// host would hear from an editor (a value set, a gesture, a new window size) goes to the
// interface's host through the peer, which turns it into port writes and host features.
// UI thread only.
class LV2UIPeer {
public:
  virtual ~LV2UIPeer() = default;
  // The parameter's plain value, for its control port.
  virtual void WriteParam(int paramIdx, float value) = 0;
  // The user took hold of a parameter's control (grabbed) or let it go.
  virtual void TouchParam(int paramIdx, bool grabbed) = 0;
  // The editor's window changed to width x height pixels (a zoom); true when the host's
  // window follows.
  virtual bool EditorResized(int width, int height) = 0;
};

}  // namespace iplug
