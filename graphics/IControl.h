#pragma once
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <vector>

#include "IPlug/IParam.h"
#include "IPlug/MidiMessage.h"
#include "IPlug/TextBuffer.h"
#include "graphics/AssignText.h"
#include "graphics/IBlend.h"
#include "graphics/IBounds.h"
#include "graphics/IColor.h"
#include "graphics/IKeyPress.h"
#include "graphics/IMouseState.h"
#include "graphics/IPopupMenu.h"
#include "graphics/ITextStyle.h"

namespace igraphics {

class IGraphics;
class IGEditorDelegate;
class IControl;

inline constexpr int kNoParameter = -1;
inline constexpr int kNoTag = -1;
inline constexpr int kNoValIdx = -1;

using IActionFunction = std::function<void(IControl*)>;
using IAnimationFunction = std::function<void(IControl*)>;

enum class EGestureType : int { kUnknown = 0, kDoubleTap, kTripleTap, kLongPress1, kLongPress2, kSwipeLeft,
                                kSwipeRight, kSwipeUp, kSwipeDown, kPinch, kRotate };

struct IGestureInfo {
  float x = 0.f;
  float y = 0.f;
  float scale = 0.f;
  float velocity = 0.f;
  float angle = 0.f;
  EGestureType type = EGestureType::kUnknown;
};

using IGestureFunc = std::function<void(IControl*, const IGestureInfo&)>;

// One element of the editor: a rectangle with one or more normalised values, each optionally
// bound to a plug-in parameter. Values from the host arrive through SetValueFromDelegate;
// values the user changes leave through SetDirty(true), which tells the delegate, updates the
// other controls of the same parameter and runs the action function.
// Editor (UI) thread only, from attaching to deletion.
class IControl {
public:
  IControl(const IBounds& bounds, int paramIdx = kNoParameter, IActionFunction actionFunc = nullptr);
  IControl(const IBounds& bounds, std::initializer_list<int> params, IActionFunction actionFunc = nullptr);
  IControl(const IBounds& bounds, IActionFunction actionFunc);
  virtual ~IControl() = default;
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // Input. The right button on the default press, and a double click, prompt for the value.
  virtual void OnMouseDown(float x, float y, const IMouseMod& mod);
  virtual void OnMouseUp(float /*x*/, float /*y*/, const IMouseMod& /*mod*/) {}
  virtual void OnMouseDrag(float /*x*/, float /*y*/, float /*dX*/, float /*dY*/, const IMouseMod& /*mod*/) {}
  virtual void OnMouseDblClick(float x, float y, const IMouseMod& mod);
  virtual void OnMouseWheel(float /*x*/, float /*y*/, const IMouseMod& /*mod*/, float /*d*/) {}
  virtual bool OnKeyDown(float /*x*/, float /*y*/, const IKeyPress& /*key*/) { return false; }
  virtual bool OnKeyUp(float /*x*/, float /*y*/, const IKeyPress& /*key*/) { return false; }
  virtual void OnMouseOver(float x, float y, const IMouseMod& mod);
  virtual void OnMouseOut();
  virtual void OnTouchCancelled(float /*x*/, float /*y*/, const IMouseMod& /*mod*/) {}
  virtual void OnDrop(const char* /*str*/) {}

  // Lifecycle: attaching calls OnInit, OnResize, OnRescale, then OnAttached.
  virtual void OnRescale() {}
  virtual void OnResize() {}
  virtual void OnInit() {}
  virtual void OnAttached() {}

  virtual void OnMsgFromDelegate(int /*msgTag*/, int /*dataSize*/, const void* /*pData*/) {}
  virtual void OnMidi(const iplug::MidiMessage& /*msg*/) {}
  virtual bool OnGesture(const IGestureInfo& info);

  // Prompts and menus.
  virtual void CreateContextMenu(IPopupMenu& /*contextMenu*/) {}
  virtual void OnPopupMenuSelection(const IPopupMenu* pSelectedMenu, int valIdx);
  virtual void OnTextEntryCompletion(const char* /*str*/, int /*valIdx*/) {}
  virtual void OnContextSelection(int /*itemIdx*/) {}

  // Drawing.
  virtual void Draw(IGraphics& g) = 0;
  virtual void DrawHostHighlight(IGraphics& g);

  // Values.
  virtual void SetParamIdx(int paramIdx, int valIdx = 0);
  virtual int GetValIdxForPos(float /*x*/, float /*y*/) const { return NVals() > 1 ? kNoValIdx : 0; }
  virtual void SetValueFromDelegate(double value, int valIdx = 0);
  virtual void SetValueFromUserInput(double value, int valIdx = 0);
  virtual void SetValueToDefault(int valIdx = kNoValIdx);
  virtual void SetValue(double value, int valIdx = 0);
  virtual void SetText(const ITextStyle& text) { mText = text; }
  virtual void SetPosition(float x, float y);
  virtual void SetSize(float w, float h);
  virtual void Hide(bool hide);
  virtual void SetDisabled(bool disable);
  virtual bool IsHit(float x, float y) const;
  // Clamps the value(s) to 0..1 and marks the control for redrawing. With triggerAction the
  // value(s) go to the delegate and to the other controls of the parameter, and the action
  // function runs: this is how a user change leaves the control.
  virtual void SetDirty(bool triggerAction, int valIdx = kNoValIdx);
  virtual void SetClean() { mDirty = false; }
  virtual bool IsDirty();
  virtual void SnapToMouse(float x, float y, int direction, const IBounds& bounds, int valIdx = kNoValIdx,
                           double lo = 0., double hi = 1.);
  virtual void OnEndAnimation();

  double GetValue(int valIdx = 0) const { return mVals[static_cast<size_t>(valIdx)].value; }
  int NVals() const { return static_cast<int>(mVals.size()); }
  int GetParamIdx(int valIdx = 0) const;
  // The delegate's parameter of value valIdx; null when unbound, out of range or not attached.
  const iplug::IParam* GetParam(int valIdx = 0) const;
  int GetValIdxForParam(int paramIdx) const;
  bool IsBoundToParam(int paramIdx) const { return GetValIdxForParam(paramIdx) >= 0; }

  void SetActionFunction(IActionFunction f) { mActionFunction = std::move(f); }
  void SetAnimationEndActionFunction(IActionFunction f) { mAnimationEndActionFunc = std::move(f); }
  void SetAnimation(IAnimationFunction f, double durationMs);
  void StartAnimation(double durationMs);
  // Grows past 1; the animation function decides when to stop. 0 without an animation.
  double GetAnimationProgress() const;
  bool HasAnimation() const { return static_cast<bool>(mAnimationFunc); }
  void Animate();

  void PromptUserInput(int valIdx = 0);
  void PromptUserInput(const IBounds& bounds, int valIdx = 0);
  void SetTooltip(const char* str) { AssignText(mTooltip, str); }
  const char* GetTooltip() const { return mTooltip.Get(); }
  void SetTargetRECT(const IBounds& bounds) { mTargetRECT = bounds; }
  void SetTargetAndDrawRECTs(const IBounds& bounds) { mRECT = mTargetRECT = bounds; }
  void SetHostHighlight(bool isHighlighted, int colourCode);
  void AttachGestureFunc(EGestureType type, IGestureFunc f) { mGestureFuncs[static_cast<int>(type)] = std::move(f); }

  // Attaching.
  void SetDelegate(IGEditorDelegate* delegate) { mDelegate = delegate; }
  void SetGraphics(IGraphics* graphics) { mGraphics = graphics; }
  IGEditorDelegate* GetDelegate() const { return mDelegate; }
  IGraphics* GetUI() const { return mGraphics; }
  void SetGroup(const char* group) { AssignText(mGroup, group); }
  const char* GetGroup() const { return mGroup.Get(); }

  const IBounds& GetRECT() const { return mRECT; }
  const IBounds& GetTargetRECT() const { return mTargetRECT; }
  const ITextStyle& GetText() const { return mText; }
  const IBlend& GetBlend() const { return mBlend; }
  int GetTextEntryLength() const { return mTextEntryLength; }
  void SetTextEntryLength(int length) { mTextEntryLength = length; }
  bool IsHidden() const { return mHide; }
  bool IsDisabled() const { return mDisabled; }
  bool GetMouseDblAsSingleClick() const { return mDblAsSingleClick; }
  void SetMouseDblAsSingleClick(bool single) { mDblAsSingleClick = single; }
  bool GetMouseEventsWhenDisabled() const { return mMouseEventsWhenDisabled; }
  void SetMouseEventsWhenDisabled(bool on) { mMouseEventsWhenDisabled = on; }
  bool GetMouseOverWhenDisabled() const { return mMouseOverWhenDisabled; }
  void SetMouseOverWhenDisabled(bool on) { mMouseOverWhenDisabled = on; }
  bool GetIgnoreMouse() const { return mIgnoreMouse; }
  void SetIgnoreMouse(bool ignore) { mIgnoreMouse = ignore; }
  bool GetWantsMidi() const { return mWantsMidi; }
  void SetWantsMidi(bool wants) { mWantsMidi = wants; }
  bool GetWantsMultiTouch() const { return mWantsMultiTouch; }
  void SetWantsMultiTouch(bool wants) { mWantsMultiTouch = wants; }
  bool GetPromptShowsParamLabel() const { return mPromptShowsParamLabel; }
  void SetPromptShowsParamLabel(bool show) { mPromptShowsParamLabel = show; }
  bool GetDisablePrompt() const { return mDisablePrompt; }
  void DisablePrompt(bool disable) { mDisablePrompt = disable; }
  bool GetMouseIsOver() const { return mMouseIsOver; }
  bool GetHighlighted() const { return mHighlighted; }
  IColor GetHighlightColor() const { return mHighlightColor; }
  int GetLastGesture() const { return mLastGesture; }

protected:
  double NowMs() const;

  IBounds mRECT;
  IBounds mTargetRECT;
  iplug::TextBuffer mGroup;
  ITextStyle mText;
  IBlend mBlend;
  int mTextEntryLength = 7;
  bool mDirty = true;
  bool mHide = false;
  bool mDisabled = false;
  bool mDisablePrompt = true;
  bool mDblAsSingleClick = false;
  bool mMouseEventsWhenDisabled = false;
  bool mMouseOverWhenDisabled = false;
  bool mIgnoreMouse = false;
  bool mWantsMidi = false;
  bool mWantsMultiTouch = false;
  bool mPromptShowsParamLabel = false;
  bool mMouseIsOver = false;
  iplug::TextBuffer mTooltip;
  IColor mHighlightColor = kColorRed;
  bool mHighlighted = false;
  IGEditorDelegate* mDelegate = nullptr;
  IGraphics* mGraphics = nullptr;
  IActionFunction mActionFunction;
  IActionFunction mAnimationEndActionFunc;
  IAnimationFunction mAnimationFunc;
  double mAnimationStartTime = 0.;
  double mAnimationDuration = 0.;

private:
  struct ParamTuple {
    int idx;
    double value;
  };
  void ReportValue(int valIdx);

  std::vector<ParamTuple> mVals;
  std::map<int, IGestureFunc> mGestureFuncs;
  int mLastGesture = 0;
};

// Clamps to 0..1; NaN becomes 0 so a bad value never reaches a parameter.
inline double Clip01(double v) { return v >= 0. ? (v > 1. ? 1. : v) : 0.; }

}  // namespace igraphics
