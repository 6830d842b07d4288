#pragma once

// Linear map from an input range onto an output range, deliberately without clamping:
// inputs beyond the input range land beyond the output range.
class RangeMap {
public:
  // The input range must not be empty.
  RangeMap(double inMin, double inMax, double outMin, double outMax);

  // Audio thread. Allocates nothing, takes no lock.
  double Map(double x) {
    mInput = x;
    mResult = (x - mInMin) / (mInMax - mInMin) * (mOutMax - mOutMin) + mOutMin;
    return mResult;
  }

  double Input() const { return mInput; }
  double Result() const { return mResult; }

private:
  double mInput = 0.0;
  double mInMin;
  double mInMax;
  double mOutMin;
  double mOutMax;
  double mResult = 0.0;
};
