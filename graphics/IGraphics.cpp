#include "graphics/IGraphics.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "graphics/Clock.h"
#include "graphics/GraphicsCaches.h"
#include "graphics/IBitmapControl.h"
#include "graphics/IBubbleControl.h"
#include "graphics/ICornerResizerControl.h"
#include "graphics/IGEditorDelegate.h"
#include "graphics/IPanelControl.h"

namespace igraphics {

namespace {
float ValidScale(float scale) { return (scale > 0.f && std::isfinite(scale)) ? scale : 1.f; }
}  // namespace

IGraphics::IGraphics(IGEditorDelegate& dlg, int w, int h, int fps, float scale)
    : mWidth(w), mHeight(h), mFPS(fps), mDrawScale(ValidScale(scale)), mMinScale(ValidScale(scale) / 2.f),
      mMaxScale(ValidScale(scale) * 2.f), mDelegate(&dlg) {
  std::lock_guard bitmapLock(ProcessBitmapCache().Mutex());
  std::lock_guard svgLock(ProcessSVGCache().Mutex());
  ProcessBitmapCache().AddContext();
  ProcessSVGCache().AddContext();
}

IGraphics::~IGraphics() {
  // The platform part is gone: the cursor must not be touched from here.
  mCursorHidden = false;
  RemoveAllControls();
  std::lock_guard bitmapLock(ProcessBitmapCache().Mutex());
  std::lock_guard svgLock(ProcessSVGCache().Mutex());
  ProcessBitmapCache().RemoveContext();
  ProcessSVGCache().RemoveContext();
}

// ---- Attaching and the control list.

void IGraphics::InitSpecialControl(IControl& control) {
  control.SetDelegate(mDelegate);
  control.SetGraphics(this);
  control.OnInit();
  control.OnResize();
  control.OnRescale();
}

IControl* IGraphics::AttachControl(IControl* control, int ctrlTag, const char* group) {
  if (!control) return nullptr;
  if (ctrlTag >= 0 && mCtrlTags.count(ctrlTag)) return nullptr;
  InitSpecialControl(*control);
  control->SetGroup(group);
  mControls.emplace_back(control);
  if (ctrlTag >= 0) mCtrlTags[ctrlTag] = control;
  control->OnAttached();
  return control;
}

void IGraphics::AttachBackground(const char* fileName) {
  const IBitmapRef bitmap = LoadBitmap(fileName, 1, false);
  auto control = std::make_unique<IBitmapControl>(0.f, 0.f, bitmap, kNoParameter, kBlendDefault);
  InitSpecialControl(*control);
  mControls.insert(mControls.begin(), std::move(control));
  if (mMouseOverIdx >= 0) ++mMouseOverIdx;
}

void IGraphics::AttachPanelBackground(const IPattern& pattern) {
  auto control = std::make_unique<IPanelControl>(GetBounds(), pattern);
  InitSpecialControl(*control);
  mControls.insert(mControls.begin(), std::move(control));
  if (mMouseOverIdx >= 0) ++mMouseOverIdx;
}

void IGraphics::AttachCornerResizer(int resizeMode, bool layoutOnResize, const IColor& color,
                                    const IColor& mouseOverColor, const IColor& dragColor, float size) {
  if (mCornerResizer) return;
  mCornerResizer = std::make_unique<ICornerResizerControl>(GetBounds(), size, color, mouseOverColor, dragColor);
  mResizeMode = resizeMode;
  mLayoutOnResize = layoutOnResize;
  InitSpecialControl(*mCornerResizer);
}

void IGraphics::AttachBubbleControl(const ITextStyle& text) {
  auto bubble = std::make_unique<IBubbleControl>(text, kColorWhite, kColorBlack, 5.f);
  InitSpecialControl(*bubble);
  mBubbleControls.push_back(std::move(bubble));
}

void IGraphics::RemoveAllControls() {
  ReleaseCaptures();
  mMouseOver = nullptr;
  mMouseOverIdx = -1;
  // Pending prompts would otherwise deliver their results to deleted controls.
  mInTextEntry = nullptr;
  mInPopupMenu = nullptr;
  mPopupControl.reset();
  mTextEntryControl.reset();
  mCornerResizer.reset();
  mPerfDisplay.reset();
  mBubbleControls.clear();
  mCtrlTags.clear();
  mControls.clear();
}

void IGraphics::EnableTooltips(bool enable) {
  mEnableTooltips = enable;
  if (enable) mEnableMouseOver = true;
}

IControl* IGraphics::GetControl(int idx) const {
  if (idx < 0 || idx >= NControls()) return nullptr;
  return mControls[static_cast<size_t>(idx)].get();
}

int IGraphics::GetControlIdx(const IControl* control) const {
  for (int i = 0; i < NControls(); ++i)
    if (mControls[static_cast<size_t>(i)].get() == control) return i;
  return -1;
}

IControl* IGraphics::GetControlWithTag(int ctrlTag) const {
  auto it = mCtrlTags.find(ctrlTag);
  return it == mCtrlTags.end() ? nullptr : it->second;
}

IBubbleControl* IGraphics::GetBubbleControl(int i) const {
  if (i < 0 || i >= NBubbleControls()) return nullptr;
  return mBubbleControls[static_cast<size_t>(i)].get();
}

IControl* IGraphics::SpecialControlAt(int i) const {
  IControl* const fixed[] = {mPerfDisplay.get(), mCornerResizer.get(), mTextEntryControl.get(), mPopupControl.get()};
  for (IControl* c : fixed) {
    if (!c) continue;
    if (i == 0) return c;
    --i;
  }
  return i < NBubbleControls() ? mBubbleControls[static_cast<size_t>(i)].get() : nullptr;
}

void IGraphics::SetAllControlsDirty() {
  ForAllControlsFunc([](IControl& c) { c.SetDirty(false); });
}

void IGraphics::SetAllControlsClean() {
  ForAllControlsFunc([](IControl& c) { c.SetClean(); });
}

// ---- Frame cycle.

void IGraphics::BeginFrame() { mPrevFrameTime = GetTimeMs() / 1000.0; }

bool IGraphics::IsDirty(IRectList& rects) {
  if (mTickFunc) mTickFunc();
  ForAllControlsFunc([](IControl& c) { c.Animate(); });
  bool dirty = false;
  ForAllControlsFunc([&](IControl& c) {
    if (c.IsDirty()) {
      rects.Add(c.GetRECT().GetPadded(0.75f));
      dirty = true;
    }
  });
  return dirty;
}

bool IGraphics::TakeDirtyPixelAreas(IRectList& pixels) {
  IRectList rects;
  if (!IsDirty(rects)) return false;
  SetAllControlsClean();
  const float t = GetTotalScale();
  for (const IBounds& r : rects) pixels.Add(r.GetScaledOutwards(t));
  return true;
}

void IGraphics::Draw(IRectList& rects) {
  if (rects.Size() == 0) return;
  const float scale = GetTotalScale();
  BeginFrame();
  if (mStrictDrawing) {
    const IBounds area = rects.Bounds().GetPixelAligned(scale);
    ForAllControlsFunc([&](IControl& c) { DrawControl(&c, area, scale); });
  } else {
    rects.PixelAlign(scale);
    rects.Optimize();
    for (const IBounds& area : rects) ForAllControlsFunc([&](IControl& c) { DrawControl(&c, area, scale); });
  }
  EndFrame();
}

void IGraphics::DrawControl(IControl* control, const IBounds& area, float scale) {
  // The background is drawn even when hidden: nothing else would paint those pixels.
  if (!control || (control->IsHidden() && control != GetControl(0))) return;
  const IBounds controlArea = control->GetRECT().GetPadded(0.75f).GetPixelAligned(scale);
  if (controlArea.Empty() || area.Empty() || !controlArea.Intersects(area)) return;
  const IBounds clip = controlArea.Intersect(area);
  if (clip.W() <= 0.f || clip.H() <= 0.f) return;
  mTransformStack.clear();
  PathTransformReset();
  PathClear();
  PathClipRegion(clip);
  mClipBounds = clip;
  control->Draw(*this);
  control->DrawHostHighlight(*this);
  OnControlDrawn(clip);
}

// ---- Values.

void IGraphics::UpdatePeers(IControl* caller, int valIdx) {
  if (!caller) return;
  const int paramIdx = caller->GetParamIdx(valIdx);
  if (paramIdx < 0) return;
  const double value = caller->GetValue(valIdx);
  ForStandardControlsFunc([&](IControl& c) {
    if (&c == caller) return;
    const int peerValIdx = c.GetValIdxForParam(paramIdx);
    if (peerValIdx >= 0) c.SetValueFromDelegate(value, peerValIdx);
  });
}

void IGraphics::SetControlHighlight(int paramIdx, bool isHighlighted, int colour) {
  ForMatchingControls(paramIdx, [&](IControl& c) { c.SetHostHighlight(isHighlighted, colour); });
}

// ---- Size and scale.

void IGraphics::ResizeWindow(bool resizeHostWindow) {
  const int w = static_cast<int>(static_cast<float>(WindowWidth()) * GetPlatformWindowScale());
  const int h = static_cast<int>(static_cast<float>(WindowHeight()) * GetPlatformWindowScale());
  PlatformResize(mDelegate->ResizeFromEditor(w, h, resizeHostWindow));
}

void IGraphics::Resize(int w, int h, float scale, bool needsPlatformResize) {
  w = std::clamp(w, mDelegate->GetMinWidth(), mDelegate->GetMaxWidth());
  h = std::clamp(h, mDelegate->GetMinHeight(), mDelegate->GetMaxHeight());
  if (!(scale > 0.f) || !std::isfinite(scale)) scale = mDrawScale;  // a broken request keeps the zoom
  scale = std::clamp(scale, mMinScale, mMaxScale);
  if (w == mWidth && h == mHeight && scale == mDrawScale) return;

  ReleaseCaptures();
  mDrawScale = scale;
  mWidth = w;
  mHeight = h;
  mDelegate->PublishEditorGeometry();
  if (mCornerResizer) mCornerResizer->OnRescale();
  ResizeWindow(needsPlatformResize);
  ForAllControlsFunc([](IControl& c) { c.OnResize(); });
  SetAllControlsDirty();
  DrawResize();
  if (mLayoutOnResize) mDelegate->LayoutEditor(this);
}

void IGraphics::SetScreenScale(float scale) {
  // A report of 0 or NaN says nothing about the screen: the scale in use stays (setting 1
  // would blur a double-density screen until the next valid report).
  if (!(scale > 0.f) || !std::isfinite(scale)) return;
  mScreenScale = scale;
  ResizeWindow(true);
  ForAllControlsFunc([](IControl& c) { c.OnRescale(); });
  SetAllControlsDirty();
  DrawResize();
}

IBitmapRef IGraphics::GetScaledBitmap(const IBitmapRef& bitmap) {
  return LoadBitmap(bitmap.GetResourceName(), bitmap.N(), bitmap.GetFramesAreHorizontal(),
                    static_cast<int>(std::ceil(mScreenScale)));
}

// ---- Platform helpers with base behaviour.

void IGraphics::HideMouseCursor(bool hide, bool lock) {
  if (mCursorHidden == hide) return;
  mCursorHidden = hide;
  PlatformHideMouseCursor(hide, lock);
}

int IGraphics::SetMouseCursor(int cursorType) {
  const int previous = mCursorType;
  mCursorType = cursorType;
  return previous;
}

double IGraphics::GetTimeMs() const { return SteadyClockMs(); }

}  // namespace igraphics
