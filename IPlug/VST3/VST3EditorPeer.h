#pragma once

namespace iplug {

// Where the plug-in object behind a VST3 controller sends what its editor does: gestures and
// values become the component handler's begin/perform/end edits, a new window size the
// frame's resize request. UI thread only.
class VST3EditorPeer {
public:
  virtual ~VST3EditorPeer() = default;
  virtual void BeginEdit(int paramIdx) = 0;
  virtual void PerformEdit(int paramIdx, double normalized) = 0;
  virtual void EndEdit(int paramIdx) = 0;
  // The editor's window changed to width x height pixels; true when the host's window follows.
  virtual bool EditorResized(int width, int height) = 0;
  // Every tick of the editor's timer.
  virtual void OnEditorTick() = 0;
};

}  // namespace iplug
