#pragma once
#include "graphics/IControl.h"

namespace igraphics {

inline constexpr int kBubbleVertical = 0;    // above or below the point
inline constexpr int kBubbleHorizontal = 1;  // right or left of the point

// A speech-bubble label that pops up over a control while its value changes and shows the
// value's text: it fades in over 200 ms, stays at least 1000 ms and as long as its caller is
// held, then fades out over 200 ms. Kept outside the control list, drawn on top.
// UI thread only.
class IBubbleControl : public IControl {
public:
  enum EState { kBubbleHidden = 0, kBubbleFadeIn = 1, kBubbleShown = 2, kBubbleFadeOut = 3 };
  enum ETailSide { kTailTop = 0, kTailRight = 1, kTailBottom = 2, kTailLeft = 3 };

  static constexpr double kFadeMs = 200.;
  static constexpr double kHoldMs = 1000.;

  IBubbleControl(const ITextStyle& text = ITextStyle(), const IColor& fillColor = kColorWhite,
                 const IColor& strokeColor = kColorBlack, float roundness = 5.f);

  void Draw(IGraphics& g) override;
  virtual void DrawContent(IGraphics& g, const IBounds& r);
  virtual void DrawBubble(IGraphics& g, const IBounds& r);
  virtual void MeasureContent(const char* str, IBounds& contentBounds) const;

  // Places the bubble next to (x, y), sets its text and starts fading it in when hidden.
  void ShowBubble(IControl* caller, float x, float y, const char* str, int direction,
                  const IBounds& minimumContentBounds, int64_t touchID = 0);

  int64_t GetTouchID() const { return mTouchID; }
  int GetState() const { return mState; }
  int GetTailSide() const { return mTailSide; }
  int GetDirection() const { return mDirection; }
  float GetOpacity() const { return mBubbleBlend.mWeight; }
  float GetMaxOpacity() const { return mMaxOpacity; }
  const IBounds& GetBubbleBounds() const { return mBubbleBounds; }
  const IBounds& GetMaxBounds() const { return mMaxBounds; }
  const char* GetString() const { return mStr.Get(); }
  IControl* GetCaller() const { return mCaller; }

private:
  void Fade();
  void StartFade(double durationMs);

  int64_t mTouchID = 0;
  int mDirection = kBubbleHorizontal;
  IBounds mMaxBounds;
  IBounds mBubbleBounds;
  IControl* mCaller = nullptr;
  int mTailSide = kTailLeft;
  iplug::TextBuffer mStr;
  IBlend mBubbleBlend{kBlendDefault, 0.f};
  float mRoundness;
  float mShadowSize = 10.f;
  float mTailSize = 10.f;
  float mMaxOpacity = 0.95f;
  float mStrokeThickness = 2.f;
  float mTextPadding = 5.f;
  IColor mFillColor;
  IColor mStrokeColor;
  int mState = kBubbleHidden;
};

}  // namespace igraphics
