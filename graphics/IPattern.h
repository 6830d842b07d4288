#pragma once
#include "graphics/IColor.h"
#include "graphics/ITransform.h"

namespace igraphics {

enum EPatternType { kSolidPattern = 0, kLinearPattern = 1, kRadialPattern = 2 };
enum EFillRule { kFillWinding = 0, kFillEvenOdd = 1 };
enum ELineJoin { kJoinMiter = 0, kJoinRound = 1, kJoinBevel = 2 };
enum ELineCap { kCapButt = 0, kCapRound = 1, kCapSquare = 2 };

// What a path is filled or stroked with: a solid colour or a gradient of up to kMaxStops stops.
// Fixed capacity, so patterns are built while drawing without allocating.
struct IPattern {
  static constexpr int kMaxStops = 16;
  struct Stop {
    IColor mColor;
    float mOffset = 0.f;
  };

  // Implicit on purpose: every Fill/Draw call that takes a colour takes a pattern.
  IPattern(IColor color) : mType(kSolidPattern) { AddStop(color, 0.f); }
  explicit IPattern(EPatternType type) : mType(type) {}

  void AddStop(IColor color, float offset) {
    if (mNStops < kMaxStops) mStops[mNStops++] = Stop{color, offset};
  }
  int NStops() const { return mNStops; }
  const Stop& GetStop(int i) const { return mStops[i]; }
  IColor GetColor() const { return mNStops > 0 ? mStops[0].mColor : kColorBlack; }

  EPatternType mType;
  ITransform mTransform;  // maps drawing space to pattern space

private:
  Stop mStops[kMaxStops];
  int mNStops = 0;
};

struct IFillOptions {
  EFillRule mFillRule = kFillWinding;
  bool mPreserve = false;  // keep the path for a following stroke
};

struct IStrokeOptions {
  static constexpr int kMaxDashes = 8;
  ELineJoin mJoin = kJoinMiter;
  ELineCap mCap = kCapButt;
  float mMiterLimit = 10.f;
  bool mPreserve = false;
  float mDashes[kMaxDashes] = {};
  int mNDashes = 0;
  float mDashOffset = 0.f;
};

}  // namespace igraphics
