#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "IPlug/IEditorDelegate.h"

namespace igraphics {

class IGraphics;

// The editor delegate bound to the graphics context: creates the context through the
// product's factory, runs the product's layout on it, opens and closes its window, keeps the
// editor's size and scale across closing (and in the state), and fans parameter values out
// to the controls. The plug-in's later classes derive from it.
//
// Threads: every operation that touches the graphics context runs on the editor's (host
// main) thread. Values from other threads arrive through the plug-in's rings, never directly.
// The editor's geometry is the one thing the state reads and writes from a host's chunk
// thread: it lives in a small record under its own lock, which the editor's thread publishes
// to after every size change and takes restored geometry from on its next tick.
class IGEditorDelegate : public iplug::IEditorDelegate {
public:
  using GraphicsFactory = std::function<IGraphics*()>;
  using LayoutFunction = std::function<void(IGraphics*)>;

  explicit IGEditorDelegate(int nParams);
  ~IGEditorDelegate() override;

  // Set once by the product's constructor.
  void SetGraphicsFactory(GraphicsFactory factory) { mMakeGraphicsFunc = std::move(factory); }
  void SetLayoutFunction(LayoutFunction layout) { mLayoutFunc = std::move(layout); }

  // Host main thread.
  void* OpenEditor(void* pParent) override;
  void CloseEditor() override;

  // Editor thread.
  bool ForwardKeyDown(const iplug::IKeyPress& key) override;
  bool ForwardKeyUp(const iplug::IKeyPress& key) override;
  void SetControlValueInEditor(int ctrlTag, double normalizedValue) override;
  void SendControlMsgToEditor(int ctrlTag, int msgTag, int dataSize, const void* pData) override;
  void SendMidiToEditor(const iplug::MidiMessage& msg) override;
  // Never called for a control's own drag: a held control ignores host values.
  void SendParamValueToEditor(int paramIdx, double value, bool normalized = false) override;
  void SetEditorScreenScale(float scale) override;

  // Any thread (a host's chunk thread). The first 12 bytes of the state: int32 width,
  // int32 height, float32 scale, as the editor's thread last published them for the open
  // editor, or else the saved values. Never touches the graphics context.
  bool WriteEditorGeometry(iplug::ByteChunk& chunk) const override;
  // Any thread (a host's chunk thread). Keeps the geometry for the editor: the open editor
  // takes it on its own thread (at once when called there, else on the next timer tick),
  // a closed one when it next opens. A geometry that cannot be read whole changes nothing.
  int ReadEditorGeometry(const iplug::ByteChunk& chunk, int startPos) override;
  // Editor thread (the timer). Resizes the open editor to a restored geometry, if one came.
  void ApplyRestoredEditorGeometry() override;
  // Editor thread, after every change of the open editor's size or zoom.
  void PublishEditorGeometry();

  virtual IGraphics* MakeGraphicsContext();
  virtual void LayoutEditor(IGraphics* pGraphics);

  IGraphics* GetUI() const { return mGraphics.get(); }
  // Any thread: the geometry the state holds (the open editor's, or the saved one).
  int GetSavedWidth() const { return Geometry().mWidth; }
  int GetSavedHeight() const { return Geometry().mHeight; }
  float GetSavedScale() const { return Geometry().mScale; }

private:
  struct EditorGeometry {
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    float mScale = 0.f;
    // A zero component means "no size chosen"; anything else goes to Resize, which clamps.
    bool Usable() const { return mWidth != 0 && mHeight != 0 && mScale != 0.f; }
  };
  EditorGeometry Geometry() const;

  GraphicsFactory mMakeGraphicsFunc;
  LayoutFunction mLayoutFunc;
  std::unique_ptr<IGraphics> mGraphics;
  // Neither side is real-time, and twelve bytes must be read and written together.
  mutable std::mutex mGeometryLock;
  EditorGeometry mGeometry;         // guarded by mGeometryLock
  bool mGeometryRestored = false;   // guarded: a restore the editor has not taken yet
  // The thread that last opened the editor: a restore arriving there applies at once.
  std::atomic<std::thread::id> mEditorThread{};
  bool mClosing = false;
};

}  // namespace igraphics
