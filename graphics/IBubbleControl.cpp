#include "graphics/IBubbleControl.h"

#include <algorithm>

#include "graphics/AssignText.h"
#include "graphics/IGraphics.h"

namespace igraphics {

IBubbleControl::IBubbleControl(const ITextStyle& text, const IColor& fillColor, const IColor& strokeColor,
                               float roundness)
    : IControl(IBounds(), kNoParameter), mRoundness(roundness), mFillColor(fillColor), mStrokeColor(strokeColor) {
  mText = text;
  mHide = true;
  mIgnoreMouse = true;
  // A user change (SetDirty(true)) starts a fade; the end of a fade-in starts the hold.
  SetActionFunction([this](IControl*) { StartFade(kFadeMs); });
  SetAnimationEndActionFunction([this](IControl*) {
    if (mState == kBubbleShown) StartFade(kHoldMs);
  });
}

void IBubbleControl::StartFade(double durationMs) {
  SetAnimation([this](IControl*) { Fade(); }, durationMs);
}

void IBubbleControl::Fade() {
  const double t = GetAnimationProgress();
  if (t <= 1.0) {
    switch (mState) {
      case kBubbleFadeIn: mBubbleBlend.mWeight = static_cast<float>(t) * mMaxOpacity; break;
      case kBubbleShown: mBubbleBlend.mWeight = mMaxOpacity; break;
      case kBubbleFadeOut: mBubbleBlend.mWeight = static_cast<float>(1.0 - t) * mMaxOpacity; break;
      default: break;
    }
    return;
  }
  switch (mState) {
    case kBubbleFadeIn:
      mBubbleBlend.mWeight = mMaxOpacity;
      mState = kBubbleShown;
      OnEndAnimation();
      break;
    case kBubbleShown:
      if (mCaller && mGraphics && mGraphics->ControlIsCaptured(mCaller)) {
        SetDirty(true);  // still held: look again after another fade period
      } else {
        mBubbleBlend.mWeight = mMaxOpacity;
        mState = kBubbleFadeOut;
        SetDirty(true);
      }
      break;
    case kBubbleFadeOut:
      mBubbleBlend.mWeight = 0.f;
      Hide(true);
      mState = kBubbleHidden;
      mTouchID = 0;
      SetDirty(false);
      OnEndAnimation();
      break;
    default:
      OnEndAnimation();
      break;
  }
}

void IBubbleControl::MeasureContent(const char* str, IBounds& contentBounds) const {
  contentBounds = IBounds();
  if (mGraphics) mGraphics->MeasureText(mText, str, contentBounds);
}

void IBubbleControl::ShowBubble(IControl* caller, float x, float y, const char* str, int direction,
                                const IBounds& minimumContentBounds, int64_t touchID) {
  if (!caller || !mGraphics) return;
  if (mMaxBounds.W() == 0.f) mMaxBounds = mGraphics->GetBounds();
  mDirection = direction;
  mTouchID = touchID;
  AssignText(mStr, str);

  IBounds content;
  MeasureContent(str, content);
  if (!minimumContentBounds.Empty()) {
    content.R = content.L + std::max(content.W(), minimumContentBounds.W());
    content.B = content.T + std::max(content.H(), minimumContentBounds.H());
  }
  const float w = content.W() + 2.f * (mTextPadding + mShadowSize);
  const float h = content.H() + 2.f * mShadowSize;
  IBounds box(x, y - h / 2.f, x + w, y + h / 2.f);
  const IBounds& callerRect = caller->GetRECT();
  if (direction == kBubbleHorizontal) {
    if (box.R > mMaxBounds.R - mTextPadding - mShadowSize) {
      box = box.GetTranslated(callerRect.L - box.R, 0.f);  // to the left of the caller
      mTailSide = kTailRight;
    } else {
      mTailSide = kTailLeft;
    }
  } else {
    box = box.GetTranslated(-w / 2.f, -h / 2.f);  // centred above the point
    if (box.T < mMaxBounds.T) {
      box = box.GetTranslated(0.f, h + callerRect.H());  // no room above: below the caller
      mTailSide = kTailTop;
    } else {
      mTailSide = kTailBottom;
    }
  }

  mBubbleBounds = box;
  mRECT = callerRect.Union(box);  // the caller's area is redrawn with the bubble
  mTargetRECT = mRECT;
  mMouseIsOver = false;
  OnResize();

  if (mState == kBubbleHidden) {
    Hide(false);
    mState = kBubbleFadeIn;
    SetDirty(true);
  }
  if (caller != mCaller) {
    // Another control: clear the old bubble wherever it was.
    mRECT = box;
    mTargetRECT = box;
    mGraphics->SetAllControlsDirty();
  }
  mCaller = caller;
}

void IBubbleControl::Draw(IGraphics& g) {
  const IBounds inner = mBubbleBounds.GetPadded(-mShadowSize);
  g.DrawFastDropShadow(inner, mBubbleBounds, 2.f, mRoundness, 10.f, &mBubbleBlend);
  DrawBubble(g, inner);
  DrawContent(g, inner);
}

void IBubbleControl::DrawContent(IGraphics& g, const IBounds& r) {
  if (!mStr.Empty()) g.DoDrawText(mText, mStr.Get(), r, &mBubbleBlend);
}

void IBubbleControl::DrawBubble(IGraphics& g, const IBounds& r) {
  const float rad = mRoundness;
  const float half = mTailSize / 2.f;
  const float cx = r.MW();
  const float cy = r.MH();
  g.PathClear();
  g.PathMoveTo(r.L, r.T + rad);
  g.PathArc(r.L + rad, r.T + rad, rad, 270.f, 360.f);
  if (mTailSide == kTailTop) {
    g.PathLineTo(cx - half, r.T);
    g.PathLineTo(cx, r.T - mTailSize);
    g.PathLineTo(cx + half, r.T);
  }
  g.PathArc(r.R - rad, r.T + rad, rad, 0.f, 90.f);
  if (mTailSide == kTailRight) {
    g.PathLineTo(r.R, cy - half);
    g.PathLineTo(r.R + mTailSize, cy);
    g.PathLineTo(r.R, cy + half);
  }
  g.PathArc(r.R - rad, r.B - rad, rad, 90.f, 180.f);
  if (mTailSide == kTailBottom) {
    g.PathLineTo(cx + half, r.B);
    g.PathLineTo(cx, r.B + mTailSize);
    g.PathLineTo(cx - half, r.B);
  }
  g.PathArc(r.L + rad, r.B - rad, rad, 180.f, 270.f);
  if (mTailSide == kTailLeft) {
    g.PathLineTo(r.L, cy + half);
    g.PathLineTo(r.L - mTailSize, cy);
    g.PathLineTo(r.L, cy - half);
  }
  g.PathClose();

  IFillOptions fill;
  fill.mFillRule = kFillWinding;
  fill.mPreserve = true;
  g.PathFill(mFillColor, fill, &mBubbleBlend);
  IStrokeOptions stroke;
  stroke.mMiterLimit = 10.f;
  g.PathStroke(mStrokeColor, mStrokeThickness, stroke, &mBubbleBlend);
}

}  // namespace igraphics
