// Input dispatch of the graphics context: which control a pointer reaches, pointer capture,
// host gestures around presses, hover, keys, value prompts and the value bubble.
#include <algorithm>
#include <cstdio>

#include "IPlug/Trace.h"
#include "graphics/IBubbleControl.h"
#include "graphics/ICornerResizerControl.h"
#include "graphics/IGEditorDelegate.h"
#include "graphics/IGraphics.h"

namespace igraphics {

namespace {

uint32_t HostModifiers(const IMouseMod& mod) {
  uint32_t bits = 0;
  if (mod.A) bits |= kHostModifierAlt;
  if (mod.C) bits |= kHostModifierControl;
  if (mod.S) bits |= kHostModifierShift;
  if (mod.R) bits |= kHostModifierRightButton;
  return bits;
}

// Only the trace reads it, and a build without tracing has none.
[[maybe_unused]] const char* KeyText(const IKeyPress& key) { return key.utf8[0] ? key.utf8 : "?"; }

}  // namespace

// ---- Finding the control under a pointer.

IControl* IGraphics::GetMouseControl(float x, float y, bool capture, bool mouseOver, int64_t touchID) {
  if (auto it = mCapturedMap.find(touchID); it != mCapturedMap.end()) return it->second.mControl;

  IControl* control = nullptr;
  int controlIdx = -1;
  if (mCornerResizer && mCornerResizer->GetRECT().Contains(x, y)) {
    control = mCornerResizer.get();
  } else if (mPerfDisplay && mPerfDisplay->GetRECT().Contains(x, y)) {
    control = mPerfDisplay.get();
  } else if (!mouseOver || mEnableMouseOver) {
    // From the top down; the background never becomes the hover control.
    const int lowest = mouseOver ? 1 : 0;
    for (int i = NControls() - 1; i >= lowest; --i) {
      IControl* c = mControls[static_cast<size_t>(i)].get();
      if (c->IsHidden() || c->GetIgnoreMouse()) continue;
      if (c->IsDisabled() && !(mouseOver ? c->GetMouseOverWhenDisabled() : c->GetMouseEventsWhenDisabled()))
        continue;
      if (c->IsHit(x, y)) {
        control = c;
        controlIdx = i;
        break;
      }
    }
  }

  if (capture && control) {
    if (mEnableMultiTouch && ControlIsCaptured(control) && !control->GetWantsMultiTouch()) {
      control = nullptr;
    } else {
      mCapturedMap.emplace(touchID, Capture{control, false});
    }
  }
  if (mouseOver) mMouseOverIdx = control ? controlIdx : -1;
  return control;
}

bool IGraphics::ControlIsCaptured(const IControl* control) const {
  int64_t touchID = 0;
  return ControlIsCaptured(control, touchID);
}

bool IGraphics::ControlIsCaptured(const IControl* control, int64_t& touchID) const {
  for (const auto& [id, capture] : mCapturedMap) {
    if (capture.mControl == control) {
      touchID = id;
      return true;
    }
  }
  return false;
}

IControl* IGraphics::GetCapturedControl(int64_t touchID) const {
  auto it = mCapturedMap.find(touchID);
  return it == mCapturedMap.end() ? nullptr : it->second.mControl;
}

void IGraphics::BeginGestures(IControl& control) {
  for (int v = 0; v < control.NVals(); ++v) {
    const int paramIdx = control.GetParamIdx(v);
    if (paramIdx >= 0) mDelegate->BeginParamGestureFromEditor(paramIdx);
  }
}

void IGraphics::EndGestures(IControl& control) {
  for (int v = 0; v < control.NVals(); ++v) {
    const int paramIdx = control.GetParamIdx(v);
    if (paramIdx >= 0) mDelegate->EndParamGestureFromEditor(paramIdx);
  }
}

void IGraphics::ReleaseCaptures(const IControl* keep) {
  // Closed in touch order, so the host sees a reproducible sequence.
  std::vector<std::pair<int64_t, IControl*>> open;
  for (const auto& [id, capture] : mCapturedMap)
    if (capture.mGesturesOpen && capture.mControl != keep) open.emplace_back(id, capture.mControl);
  std::sort(open.begin(), open.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  mCapturedMap.clear();
  for (auto& entry : open) EndGestures(*entry.second);
  HideMouseCursor(false, true);
}

// ---- Pointer events.

void IGraphics::OnMouseDown(const std::vector<IMouseState>& points) {
  if (points.size() == 1) {
    mMouseDownX = points[0].x;
    mMouseDownY = points[0].y;
  }
  for (const IMouseState& p : points) {
    IControl* control = GetMouseControl(p.x, p.y, true, false, p.ms.mTouchID);
    if (!control) continue;
    const int valIdx = control->GetValIdxForPos(p.x, p.y);
    const int paramIdx = control->GetParamIdx(std::max(valIdx, 0));

    if (mViewContainer && paramIdx >= 0) {
      uint32_t hostBits = 0;
      mViewContainer->GetModifiers(&hostBits);
      char paramID[16];
      std::snprintf(paramID, sizeof(paramID), "%i", paramIdx + 1);
      if (mViewContainer->HandleParameterMouseDown(paramID, hostBits | HostModifiers(p.ms)) == 0) {
        ReleaseCaptures();
        return;
      }
    }

    if (p.ms.R && paramIdx >= 0) {
      ReleaseCaptures();
      mPromptMenu.RemoveAllItems();
      control->CreateContextMenu(mPromptMenu);
      if (mPromptMenu.NItems() > 0) CreatePopupMenu(*control, mPromptMenu, IBounds(p.x, p.y, p.x, p.y), -1, true);
      return;
    }

    // The host hears of the gesture before the control moves the value.
    auto it = mCapturedMap.find(p.ms.mTouchID);
    if (it != mCapturedMap.end() && it->second.mControl == control && !it->second.mGesturesOpen) {
      it->second.mGesturesOpen = true;
      BeginGestures(*control);
    }
    control->OnMouseDown(p.x, p.y, p.ms);
  }
}

void IGraphics::OnMouseUp(const std::vector<IMouseState>& points) {
  if (!mCapturedMap.empty()) {
    for (const IMouseState& p : points) {
      auto it = mCapturedMap.find(p.ms.mTouchID);
      if (it == mCapturedMap.end()) continue;
      // Out of the map first: whatever the release sets off (a resize drops all captures)
      // must not close these gestures a second time.
      const Capture capture = it->second;
      mCapturedMap.erase(it);
      capture.mControl->OnMouseUp(p.x, p.y, p.ms);
      if (capture.mGesturesOpen) EndGestures(*capture.mControl);
    }
  }
  if (mResizingInProcess) {
    mResizingInProcess = false;
    if (mResizeMode == kResizeModeScale) {
      ForAllControlsFunc([](IControl& c) { c.OnRescale(); });
      SetAllControlsDirty();
    }
  }
  if (points.size() == 1 && points[0].ms.mTouchID == 0) OnMouseOver(points[0].x, points[0].y, points[0].ms);
}

void IGraphics::OnMouseDrag(const std::vector<IMouseState>& points) {
  if (mResizingInProcess && points.size() == 1) {
    const IMouseState& p = points[0];
    if (mResizeMode == kResizeModeSize) {
      Resize(static_cast<int>(p.x), static_cast<int>(p.y), mDrawScale, true);
    } else if (mMouseDownX > 0.f && mMouseDownY > 0.f) {
      Resize(mWidth, mHeight, std::min(mDrawScale * p.x / mMouseDownX, mDrawScale * p.y / mMouseDownY), true);
    }
    return;
  }
  if (mCapturedMap.empty()) return;
  // While the platform edit box is open the drag belongs to it.
  if (mInTextEntry && !mTextEntryControl) return;
  for (const IMouseState& p : points) {
    if (mTextEntryControl && GetCapturedControl(p.ms.mTouchID) != mTextEntryControl.get()) continue;
    IControl* control = GetCapturedControl(p.ms.mTouchID);
    if (control && (p.dX != 0.f || p.dY != 0.f)) control->OnMouseDrag(p.x, p.y, p.dX, p.dY, p.ms);
  }
}

bool IGraphics::OnMouseDblClick(float x, float y, const IMouseMod& mod) {
  IControl* control = GetMouseControl(x, y, true, false, mod.mTouchID);
  if (!control) return false;
  if (control->GetMouseDblAsSingleClick()) {
    IMouseState p;
    p.x = x;
    p.y = y;
    p.ms = mod;
    OnMouseDown({p});
  } else {
    control->OnMouseDblClick(x, y, mod);
    ReleaseCaptures();
  }
  return true;
}

bool IGraphics::OnMouseOver(float x, float y, const IMouseMod& mod) {
  IControl* control = GetMouseControl(x, y, false, true, mod.mTouchID);
  if (control != mMouseOver) {
    if (mMouseOver) mMouseOver->OnMouseOut();
    mMouseOver = control;
  }
  if (control) control->OnMouseOver(x, y, mod);
  return control != nullptr;
}

void IGraphics::OnMouseOut() {
  SetMouseCursor(kArrowPointer);
  ForAllControlsFunc([](IControl& c) { c.OnMouseOut(); });
  mMouseOver = nullptr;
  mMouseOverIdx = -1;
}

void IGraphics::OnMouseWheel(float x, float y, const IMouseMod& mod, float delta) {
  if (IControl* control = GetMouseControl(x, y, false, false, mod.mTouchID)) control->OnMouseWheel(x, y, mod, delta);
}

void IGraphics::OnDrop(const char* str, float x, float y) {
  if (IControl* control = GetMouseControl(x, y, false)) control->OnDrop(str);
}

bool IGraphics::OnKeyDown(float x, float y, const IKeyPress& key) {
  TRACE_LOG("IGraphics::OnKeyDown", "x:%0.2f, y:%0.2f, key:%s", static_cast<double>(x), static_cast<double>(y),
            KeyText(key));
  IControl* control = GetMouseControl(x, y, false);
  if (control && control != GetControl(0) && control->OnKeyDown(x, y, key)) return true;
  return mKeyHandlerFunc ? mKeyHandlerFunc(key, false) : false;
}

bool IGraphics::OnKeyUp(float x, float y, const IKeyPress& key) {
  TRACE_LOG("IGraphics::OnKeyUp", "x:%0.2f, y:%0.2f, key:%s", static_cast<double>(x), static_cast<double>(y),
            KeyText(key));
  IControl* control = GetMouseControl(x, y, false);
  if (control && control != GetControl(0) && control->OnKeyUp(x, y, key)) return true;
  return mKeyHandlerFunc ? mKeyHandlerFunc(key, true) : false;
}

// ---- Prompts.

void IGraphics::PromptUserInput(IControl& control, const IBounds& bounds, int valIdx) {
  const iplug::IParam* param = control.GetParam(valIdx);
  if (!param) return;
  const auto type = param->Type();
  if (type == iplug::IParam::kTypeEnum || (type == iplug::IParam::kTypeBool && param->NDisplayTexts() > 0)) {
    iplug::TextBuffer current;
    param->GetDisplay(current, true);
    mPromptMenu.RemoveAllItems();
    for (int i = 0; i < param->NDisplayTexts(); ++i) {
      const char* text = param->GetDisplayTextAtIdx(i);
      mPromptMenu.AddItem(text, current == text ? IPopupMenu::kChecked : IPopupMenu::kNoFlags);
    }
    mPromptMenu.SetTitle(param->GetName());
    CreatePopupMenu(control, mPromptMenu, bounds, valIdx, false);
  } else {
    iplug::TextBuffer str;
    param->GetDisplay(str, false);
    if (control.GetPromptShowsParamLabel()) {
      str.Append(" ");
      str.Append(param->GetLabel());
    }
    CreateTextEntry(control, control.GetText(), bounds, str.Get(), valIdx);
  }
}

void IGraphics::CreatePopupMenu(IControl& control, IPopupMenu& menu, const IBounds& bounds, int valIdx,
                                bool isContext) {
  // A press that opened gestures and now prompts: the result closes them, not the capture.
  auto it = std::find_if(mCapturedMap.begin(), mCapturedMap.end(),
                         [&](const auto& e) { return e.second.mControl == &control && e.second.mGesturesOpen; });
  mPopupClosesGestures = it != mCapturedMap.end();
  ReleaseCaptures(&control);
  mPopupValIdx = valIdx;
  mIsContextMenu = isContext;
  mInPopupMenu = &control;
  bool isAsync = false;
  IPopupMenu* result = CreatePlatformPopupMenu(menu, bounds, isAsync);
  if (!isAsync) SetControlValueAfterPopupMenu(result);
}

void IGraphics::SetControlValueAfterPopupMenu(IPopupMenu* menu) { DeliverPopupResult(menu); }

void IGraphics::DeliverPopupResult(IPopupMenu* menu) {
  IControl* control = mInPopupMenu;
  if (!control) return;
  mInPopupMenu = nullptr;
  if (mIsContextMenu) {
    control->OnContextSelection(menu ? menu->GetChosenItemIdx() : -1);
  } else {
    const bool chosen = menu && menu->GetChosenItemIdx() >= 0;
    control->OnPopupMenuSelection(chosen ? menu : nullptr, mPopupValIdx);
  }
  if (mPopupClosesGestures) EndGestures(*control);
  mPopupClosesGestures = false;
}

void IGraphics::CreateTextEntry(IControl& control, const ITextStyle& text, const IBounds& bounds, const char* str,
                                int valIdx) {
  mInTextEntry = &control;
  mTextEntryValIdx = valIdx;
  const int paramIdx = valIdx < 0 ? kNoParameter : control.GetParamIdx(valIdx);
  CreatePlatformTextEntry(paramIdx, text, bounds, control.GetTextEntryLength(), str ? str : "");
  control.SetDirty(false);
}

void IGraphics::SetControlValueAfterTextEdit(const char* str) {
  IControl* control = mInTextEntry;
  if (!control) return;
  mInTextEntry = nullptr;
  const iplug::IParam* param = mTextEntryValIdx >= 0 ? control->GetParam(mTextEntryValIdx) : nullptr;
  if (param) {
    control->SetValueFromUserInput(param->ToNormalized(param->StringToValue(str ? str : "")), mTextEntryValIdx);
  } else {
    control->OnTextEntryCompletion(str ? str : "", mTextEntryValIdx);
  }
}

// ---- The value bubble.

void IGraphics::ShowBubbleControl(IControl* caller, float x, float y, const char* str, int direction,
                                  const IBounds& minimumContentBounds) {
  if (mBubbleControls.empty() || !caller) return;
  if (!mEnableMultiTouch) {
    mBubbleControls[0]->ShowBubble(caller, x, y, str, direction, minimumContentBounds);
    return;
  }
  std::vector<int64_t> touches;
  for (const auto& [id, capture] : mCapturedMap)
    if (capture.mControl == caller) touches.push_back(id);
  if (touches.size() != 1) return;
  const int64_t touchID = touches[0];
  for (auto& bubble : mBubbleControls) {
    if (bubble->GetTouchID() == touchID) {
      bubble->ShowBubble(caller, x, y, str, direction, minimumContentBounds, touchID);
      return;
    }
  }
  // Each new pointer takes the next bubble in turn, shared by every editor in the process.
  static int sNextBubble = 0;
  const int n = NBubbleControls();
  const int idx = sNextBubble % n;
  sNextBubble = (sNextBubble + 1) % n;
  mBubbleControls[static_cast<size_t>(idx)]->ShowBubble(caller, x, y, str, direction, minimumContentBounds, touchID);
}

}  // namespace igraphics
