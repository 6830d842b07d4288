#pragma once
#include "IPlug/IParam.h"
#include "aax-library/AAX_ITaperDelegate.h"

// The taper of a host parameter that stands for a framework parameter of double kind: range,
// constraint and shape are the framework parameter's own, so host and editor agree on every
// value. Refers to the parameter without owning it; the parameter outlives the host
// parameters, which are deleted when the host uninitialises the instance.
class AAX_CIPlugTaperDelegate final : public AAX_ITaperDelegate<double> {
public:
  explicit AAX_CIPlugTaperDelegate(const iplug::IParam& param) : mParam(param) {}

  AAX_CIPlugTaperDelegate* Clone() const override { return new AAX_CIPlugTaperDelegate(*this); }
  double GetMaximumValue() const override { return mParam.GetMax(); }
  double GetMinimumValue() const override { return mParam.GetMin(); }
  double ConstrainRealValue(double value) const override { return mParam.Constrain(value); }
  // Through the shape, then onto the parameter's steps and range.
  double NormalizedToReal(double normalizedValue) const override { return mParam.FromNormalized(normalizedValue); }
  double RealToNormalized(double realValue) const override { return mParam.ToNormalized(realValue); }

private:
  const iplug::IParam& mParam;
};
