#pragma once
#include <algorithm>

namespace iplug {

// A gain that travels in a straight line between 0 and 1, optionally after holding still for
// a number of samples: the shape of every switch that must not click. A full travel takes
// Length() samples, a partial one proportionally fewer, so a switch reversed halfway turns
// back from where it stands. Positions are counted in whole samples, so FramesToTarget() is
// exact.
// Owned by one audio thread; allocates nothing, takes no lock.
class FadeRamp {
public:
  explicit FadeRamp(bool on = true) : mPos(on ? mLength : 0), mTargetPos(mPos) {}

  // Samples for a full travel (at least 1). Keeps the gain where it stands as far as the
  // new length allows.
  void SetLength(int frames) {
    frames = std::max(frames, 1);
    if (frames == mLength) return;
    mPos = static_cast<int>(static_cast<long long>(mPos) * frames / mLength);
    mTargetPos = mTargetPos == mLength ? frames : 0;
    mLength = frames;
  }
  int Length() const { return mLength; }

  // Stands fully on (1) or off (0) with nothing left to do.
  void Jump(bool on) {
    mPos = mTargetPos = on ? mLength : 0;
    mHold = 0;
  }
  // Starts towards on (1) or off (0) once `holdFrames` samples have passed where it stands.
  void MoveTo(bool on, int holdFrames = 0) {
    mTargetPos = on ? mLength : 0;
    mHold = std::max(holdFrames, 0);
  }

  bool Moving() const { return mPos != mTargetPos; }
  bool TargetOn() const { return mTargetPos == mLength; }
  double Value() const { return static_cast<double>(mPos) / static_cast<double>(mLength); }

  // The gain for the next sample.
  double Next() {
    if (mHold > 0)
      --mHold;
    else if (mPos < mTargetPos)
      ++mPos;
    else if (mPos > mTargetPos)
      --mPos;
    return Value();
  }

  // Samples until the gain stands at its target, the hold included.
  int FramesToTarget() const { return Moving() ? mHold + (mPos > mTargetPos ? mPos - mTargetPos : mTargetPos - mPos) : 0; }

private:
  int mLength = 1;
  int mPos;
  int mTargetPos;
  int mHold = 0;
};

}  // namespace iplug
