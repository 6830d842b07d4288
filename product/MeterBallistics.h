#pragma once
#include <cmath>

// Needle ballistics: a 300 ms approach to 1 % that aims slightly past the input in the
// direction of travel, which gives the needle a small overshoot both ways.
class MeterBallistics {
public:
  explicit MeterBallistics(double start) : mState(start) {}

  // Audio thread. Allocates nothing, takes no lock.
  double Process(double value, double fs) {
    // A rate of 0 or below makes the needle jump straight to its aim instead of diverging.
    const double c = fs > 0.0 ? std::exp(-4.60517018599 / (0.3 * fs)) : 0.0;
    double v = std::fabs(value);
    // A NaN or infinite reading would stick forever; it reads as no reduction instead.
    if (!std::isfinite(v)) v = 0.0;
    v = v > mState ? v * 1.0125 : v * 0.9875;
    mState = (mState - v) * c + v;
    return mState;
  }

  double State() const { return mState; }
  // Main thread before processing, or audio thread. Allocates nothing, takes no lock.
  void SetState(double value) { mState = value; }

private:
  double mState;
};
