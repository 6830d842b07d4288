#include "graphics/IControl.h"

#include <cmath>

#include "graphics/Clock.h"
#include "graphics/IGEditorDelegate.h"
#include "graphics/IGraphics.h"

namespace igraphics {

namespace {
bool Differs(double a, double b) { return !(a == b); }  // NaN differs from everything
}  // namespace

IControl::IControl(const IBounds& bounds, int paramIdx, IActionFunction actionFunc)
    : mRECT(bounds), mTargetRECT(bounds), mActionFunction(std::move(actionFunc)) {
  mVals.push_back({paramIdx, 0.0});
}

IControl::IControl(const IBounds& bounds, std::initializer_list<int> params, IActionFunction actionFunc)
    : mRECT(bounds), mTargetRECT(bounds), mActionFunction(std::move(actionFunc)) {
  for (int p : params) mVals.push_back({p, 0.0});
  if (mVals.empty()) mVals.push_back({kNoParameter, 0.0});  // a control always has a value
}

IControl::IControl(const IBounds& bounds, IActionFunction actionFunc)
    : IControl(bounds, kNoParameter, std::move(actionFunc)) {}

void IControl::OnMouseDown(float x, float y, const IMouseMod& mod) {
  if (mod.R) PromptUserInput(GetValIdxForPos(x, y));
}

void IControl::OnMouseDblClick(float x, float y, const IMouseMod&) { PromptUserInput(GetValIdxForPos(x, y)); }

void IControl::OnMouseOver(float, float, const IMouseMod&) {
  const bool was = mMouseIsOver;
  mMouseIsOver = true;
  if (!was) SetDirty(false);
}

void IControl::OnMouseOut() {
  const bool was = mMouseIsOver;
  mMouseIsOver = false;
  if (was) SetDirty(false);
}

bool IControl::OnGesture(const IGestureInfo& info) {
  auto it = mGestureFuncs.find(static_cast<int>(info.type));
  if (it == mGestureFuncs.end()) return false;
  mLastGesture = static_cast<int>(info.type);
  it->second(this, info);
  return true;
}

void IControl::OnPopupMenuSelection(const IPopupMenu* pSelectedMenu, int valIdx) {
  if (!pSelectedMenu || valIdx < 0 || mDisablePrompt) return;
  const iplug::IParam* param = GetParam(valIdx);
  if (!param) return;
  SetValueFromUserInput(param->ToNormalized(pSelectedMenu->GetChosenItemIdx()), valIdx);
}

void IControl::DrawHostHighlight(IGraphics& g) {
  if (mHighlighted) g.FillCircle(mHighlightColor, mRECT.R - 5.f, mRECT.T + 5.f, 2.f);
}

void IControl::SetParamIdx(int paramIdx, int valIdx) {
  if (valIdx < 0 || valIdx >= NVals()) return;  // not a value of this control: nothing to bind
  mVals[static_cast<size_t>(valIdx)].idx = paramIdx;
  SetDirty(false);
}

void IControl::SetValueFromDelegate(double value, int valIdx) {
  if (valIdx < 0 || valIdx >= NVals()) return;
  // The user's drag wins over host updates.
  if (mGraphics && mGraphics->ControlIsCaptured(this)) return;
  if (Differs(value, GetValue(valIdx))) {
    SetValue(value, valIdx);
    SetDirty(false);
  }
}

void IControl::SetValueFromUserInput(double value, int valIdx) {
  if (valIdx < 0 || valIdx >= NVals()) return;
  if (Differs(value, GetValue(valIdx))) {
    SetValue(value, valIdx);
    SetDirty(true, valIdx);
  }
}

void IControl::SetValueToDefault(int valIdx) {
  if (NVals() == 1) valIdx = 0;
  auto setDefault = [this](int i) {
    if (const iplug::IParam* p = GetParam(i)) SetValue(p->ToNormalized(p->GetDefault()), i);
  };
  if (valIdx >= 0) {
    setDefault(valIdx);
  } else {
    for (int i = 0; i < NVals(); ++i) setDefault(i);
  }
  SetDirty(true, valIdx);
}

void IControl::SetValue(double value, int valIdx) {
  if (valIdx < 0 || valIdx >= NVals()) return;
  mVals[static_cast<size_t>(valIdx)].value = value;
}

void IControl::SetPosition(float x, float y) {
  x = std::fmax(x, 0.f);
  y = std::fmax(y, 0.f);
  const float dx = x - mRECT.L;
  const float dy = y - mRECT.T;
  mRECT = mRECT.GetTranslated(dx, dy);
  mMouseIsOver = false;
  OnResize();
  mTargetRECT = mTargetRECT.GetTranslated(dx, dy);
  mMouseIsOver = false;
}

void IControl::SetSize(float w, float h) {
  w = std::fmax(w, 0.f);
  h = std::fmax(h, 0.f);
  mRECT = IBounds(mRECT.L, mRECT.T, mRECT.L + w, mRECT.T + h);
  mTargetRECT = mRECT;
  mMouseIsOver = false;
  OnResize();
}

void IControl::Hide(bool hide) {
  mHide = hide;
  SetDirty(false);
}

void IControl::SetDisabled(bool disable) {
  mDisabled = disable;
  mBlend.mWeight = disable ? 0.25f : 1.f;
  SetDirty(false);
}

bool IControl::IsHit(float x, float y) const { return mTargetRECT.Contains(x, y); }

void IControl::SetDirty(bool triggerAction, int valIdx) {
  if (NVals() == 1) valIdx = 0;
  if (valIdx >= NVals()) return;
  if (valIdx >= 0) {
    SetValue(Clip01(GetValue(valIdx)), valIdx);
  } else {
    for (int i = 0; i < NVals(); ++i) SetValue(Clip01(GetValue(i)), i);
  }
  mDirty = true;
  if (!triggerAction) return;
  if (valIdx >= 0) {
    ReportValue(valIdx);
  } else {
    for (int i = 0; i < NVals(); ++i) ReportValue(i);
  }
  if (mActionFunction) mActionFunction(this);
}

void IControl::ReportValue(int valIdx) {
  const int paramIdx = GetParamIdx(valIdx);
  if (paramIdx < 0) return;
  if (mDelegate) mDelegate->SetParamFromEditor(paramIdx, GetValue(valIdx));
  if (mGraphics) mGraphics->UpdatePeers(this, valIdx);
}

bool IControl::IsDirty() { return mAnimationFunc ? true : mDirty; }

void IControl::SnapToMouse(float x, float y, int direction, const IBounds& bounds, int valIdx, double lo,
                           double hi) {
  x = std::fmin(std::fmax(x, bounds.L), bounds.R);
  y = std::fmin(std::fmax(y, bounds.T), bounds.B);
  double v = direction == 1 /* horizontal */ ? (x - bounds.L) / bounds.W() : 1.0 - (y - bounds.T) / bounds.H();
  v = std::round(v / 0.001) * 0.001;
  v = v < lo ? lo : (v > hi ? hi : v);
  if (valIdx >= 0) {
    SetValue(v, valIdx);
  } else {
    for (int i = 0; i < NVals(); ++i) SetValue(v, i);
  }
  SetDirty(true, valIdx);
}

void IControl::OnEndAnimation() {
  mAnimationFunc = nullptr;
  SetDirty(false);
  if (mAnimationEndActionFunc) mAnimationEndActionFunc(this);
}

int IControl::GetParamIdx(int valIdx) const {
  if (valIdx < 0 || valIdx >= NVals()) return kNoParameter;
  return mVals[static_cast<size_t>(valIdx)].idx;
}

const iplug::IParam* IControl::GetParam(int valIdx) const {
  const int paramIdx = GetParamIdx(valIdx);
  if (!mDelegate || !mDelegate->IsValidParamIdx(paramIdx)) return nullptr;
  return mDelegate->GetParam(paramIdx);
}

int IControl::GetValIdxForParam(int paramIdx) const {
  for (int i = 0; i < NVals(); ++i)
    if (mVals[static_cast<size_t>(i)].idx == paramIdx) return i;
  return kNoValIdx;
}

void IControl::SetAnimation(IAnimationFunction f, double durationMs) {
  mAnimationFunc = std::move(f);
  StartAnimation(durationMs);
}

void IControl::StartAnimation(double durationMs) {
  mAnimationStartTime = NowMs();
  mAnimationDuration = durationMs;
}

double IControl::GetAnimationProgress() const {
  if (!mAnimationFunc) return 0.;
  return (NowMs() - mAnimationStartTime) / mAnimationDuration;
}

void IControl::Animate() {
  if (!mAnimationFunc) return;
  // A copy: the function may end the animation, which replaces mAnimationFunc while it runs.
  IAnimationFunction f = mAnimationFunc;
  f(this);
}

void IControl::PromptUserInput(int valIdx) {
  if (valIdx < 0 || mDisablePrompt) return;
  const iplug::IParam* param = GetParam(valIdx);
  if (!param || !mGraphics) return;
  const IBounds area = param->NDisplayTexts() > 0 ? mRECT : mRECT.GetCentredInside(40.f, 16.f);
  mGraphics->PromptUserInput(*this, area, valIdx);
  SetDirty(false);
}

void IControl::PromptUserInput(const IBounds& bounds, int valIdx) {
  if (valIdx < 0 || mDisablePrompt || !GetParam(valIdx) || !mGraphics) return;
  mGraphics->PromptUserInput(*this, bounds, valIdx);
}

void IControl::SetHostHighlight(bool isHighlighted, int colourCode) {
  mHighlightColor = HighlightColorForCode(colourCode, mHighlightColor);
  mHighlighted = isHighlighted;
  SetDirty(false);
}

double IControl::NowMs() const { return mGraphics ? mGraphics->GetTimeMs() : SteadyClockMs(); }

}  // namespace igraphics
