#pragma once
#include <functional>
#include <memory>

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

  // Host chunk thread (the main thread). The first 12 bytes of the state: int32 width,
  // int32 height, float32 scale, from the open editor or else the saved values.
  bool WriteEditorGeometry(iplug::ByteChunk& chunk) const override;
  int ReadEditorGeometry(const iplug::ByteChunk& chunk, int startPos) override;

  virtual IGraphics* MakeGraphicsContext();
  virtual void LayoutEditor(IGraphics* pGraphics);

  IGraphics* GetUI() const { return mGraphics.get(); }
  int GetSavedWidth() const { return mSavedWidth; }
  int GetSavedHeight() const { return mSavedHeight; }
  float GetSavedScale() const { return mSavedScale; }

private:
  GraphicsFactory mMakeGraphicsFunc;
  LayoutFunction mLayoutFunc;
  std::unique_ptr<IGraphics> mGraphics;
  int mSavedWidth = 0;
  int mSavedHeight = 0;
  float mSavedScale = 0.f;
  bool mClosing = false;
};

}  // namespace igraphics
