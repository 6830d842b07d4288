#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "aax-library/AAX_ITaperDelegate.h"

// A straight line between a minimum and a maximum (either may be the larger). Real values are
// rounded to 1/RealPrecision (to whole numbers for precision 1) and clamped to the range.
template <typename T, int32_t RealPrecision = 1000>
class AAX_CLinearTaperDelegate : public AAX_ITaperDelegate<T> {
public:
  AAX_CLinearTaperDelegate(T minValue, T maxValue) : mMinValue(minValue), mMaxValue(maxValue) {}

  AAX_CLinearTaperDelegate* Clone() const override { return new AAX_CLinearTaperDelegate(*this); }
  T GetMaximumValue() const override { return mMaxValue; }
  T GetMinimumValue() const override { return mMinValue; }
  T ConstrainRealValue(T value) const override { return Constrain(static_cast<double>(value)); }
  T NormalizedToReal(double normalizedValue) const override {
    const double span = static_cast<double>(mMaxValue) - static_cast<double>(mMinValue);
    return Constrain(span * normalizedValue + static_cast<double>(mMinValue));
  }
  double RealToNormalized(T realValue) const override {
    if (mMinValue == mMaxValue) return 0.5;
    const double span = static_cast<double>(mMaxValue) - static_cast<double>(mMinValue);
    return (static_cast<double>(ConstrainRealValue(realValue)) - static_cast<double>(mMinValue)) / span;
  }

private:
  // Works in double so that rounding happens before the conversion to T (an int32 would
  // otherwise be truncated first). Not-a-number lands on the lower bound.
  T Constrain(double value) const {
    if (mMinValue == mMaxValue) return mMinValue;
    if constexpr (RealPrecision > 0) {
      value = std::floor(value * RealPrecision + 0.5) / RealPrecision;
    }
    const double low = static_cast<double>(std::min(mMinValue, mMaxValue));
    const double high = static_cast<double>(std::max(mMinValue, mMaxValue));
    if (!(value >= low)) value = low;
    if (value > high) value = high;
    return static_cast<T>(value);
  }

  T mMinValue;
  T mMaxValue;
};
