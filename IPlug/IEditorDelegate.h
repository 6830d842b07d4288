#pragma once
#include <memory>
#include <vector>

#include "IPlug/ByteChunk.h"
#include "IPlug/IKeyPress.h"
#include "IPlug/IParam.h"
#include "IPlug/MidiMessage.h"
#include "IPlug/ParamSource.h"

namespace iplug {

// Root of the plug-in object's class chain and its interface to the editor, whatever draws it.
// Owns the parameter list and the editor size limits. Every operation has a base behaviour
// that needs no editor; the graphics editor delegate and the host API base override them.
// Operations run on their caller's thread; nothing here takes a lock.
class IEditorDelegate {
public:
  explicit IEditorDelegate(int nParams);
  virtual ~IEditorDelegate();
  IEditorDelegate(const IEditorDelegate&) = delete;
  IEditorDelegate& operator=(const IEditorDelegate&) = delete;

  IParam* GetParam(int paramIdx) { return mParams[static_cast<size_t>(paramIdx)].get(); }
  const IParam* GetParam(int paramIdx) const { return mParams[static_cast<size_t>(paramIdx)].get(); }
  IParam* ParamAt(int paramIdx) { return GetParam(paramIdx); }
  int NParams() const { return static_cast<int>(mParams.size()); }
  int ParamCount() const { return NParams(); }
  bool IsValidParamIdx(int paramIdx) const { return paramIdx >= 0 && paramIdx < NParams(); }

  // Editor thread.
  virtual void* OpenEditor(void* pParent);
  virtual void CloseEditor();
  virtual void OnEditorOpened();
  virtual void OnEditorClosed() {}

  // Thread of the change (host thread, editor thread, state restore).
  virtual void OnParamChange(int /*paramIdx*/) {}
  virtual void OnParamChange(int paramIdx, ParamSource source, int sampleOffset = -1);
  virtual void OnParamChangeInEditor(int /*paramIdx*/, ParamSource /*source*/) {}
  virtual void NotifyAllParamsChanged(ParamSource source);

  virtual void OnMidiInEditor(const MidiMessage& /*msg*/) {}
  virtual void OnSysexInEditor(const SysexMessage& /*msg*/) {}
  virtual bool HandleEditorMessage(int /*msgTag*/, int /*ctrlTag*/, int /*dataSize*/, const void* /*pData*/) {
    return false;
  }
  virtual void OnStateRestored() { OnEditorOpened(); }
  virtual bool ForwardKeyDown(const IKeyPress& /*key*/) { return false; }
  virtual bool ForwardKeyUp(const IKeyPress& /*key*/) { return false; }

  // Plug-in side to editor.
  virtual void SetControlValueInEditor(int /*ctrlTag*/, double /*normalizedValue*/) {}
  virtual void SendControlMsgToEditor(int ctrlTag, int msgTag, int dataSize, const void* pData);
  virtual void SendMessageToEditor(int msgTag, int dataSize, const void* pData);
  virtual void SendMidiToEditor(const MidiMessage& msg) { OnMidiInEditor(msg); }
  virtual void SendSysexToEditor(const SysexMessage& msg) { OnSysexInEditor(msg); }
  virtual void SendParamValueToEditor(int paramIdx, double value, bool normalized = false);

  // Editor to plug-in and host.
  virtual void SendAllParamValuesToHost() {}
  virtual void BeginParamGestureFromEditor(int /*paramIdx*/) {}
  virtual void SetParamFromEditor(int paramIdx, double normalizedValue);
  virtual void EndParamGestureFromEditor(int /*paramIdx*/) {}
  virtual bool ResizeFromEditor(int /*width*/, int /*height*/, bool /*resizeHostWindow*/) { return false; }
  virtual void SendMidiFromEditor(const MidiMessage& /*msg*/) {}
  virtual void SendSysexFromEditor(const SysexMessage& /*msg*/) {}
  virtual void SendMessageFromEditor(int /*msgTag*/, int /*ctrlTag*/, int /*dataSize*/, const void* /*pData*/) {}
  virtual void QueueMidiFromEditor(const MidiMessage& /*msg*/) {}
  virtual void QueueSysexFromEditor(const SysexMessage& /*msg*/) {}

  // The editor's size and scale in the state: nothing without a graphics editor.
  virtual bool WriteEditorGeometry(ByteChunk& /*chunk*/) const { return true; }
  virtual int ReadEditorGeometry(const ByteChunk& /*chunk*/, int startPos) { return startPos; }
  virtual void SetEditorScreenScale(float /*scale*/) {}
  // Editor thread (the timer). An editor geometry a state restore left for the open editor.
  virtual void ApplyRestoredEditorGeometry() {}

  int GetEditorWidth() const { return mEditorWidth; }
  int GetEditorHeight() const { return mEditorHeight; }
  int GetMinWidth() const { return mMinWidth; }
  int GetMaxWidth() const { return mMaxWidth; }
  int GetMinHeight() const { return mMinHeight; }
  int GetMaxHeight() const { return mMaxHeight; }
  void SetEditorSize(int width, int height) {
    mEditorWidth = width;
    mEditorHeight = height;
  }
  void SetSizeConstraints(int minW, int maxW, int minH, int maxH);

private:
  std::vector<std::unique_ptr<IParam>> mParams;
  int mEditorWidth = 0;
  int mEditorHeight = 0;
  int mMinWidth = 10;
  int mMaxWidth = 100000;
  int mMinHeight = 10;
  int mMaxHeight = 100000;
};

}  // namespace iplug
