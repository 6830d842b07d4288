#pragma once

// Converts a parameter's real (plain) values to and from normalized values (0 to 1).
class AAX_ITaperDelegateBase {
public:
  virtual ~AAX_ITaperDelegateBase() = default;
};

template <typename T>
class AAX_ITaperDelegate : public AAX_ITaperDelegateBase {
public:
  // An independent heap copy; the caller owns it.
  virtual AAX_ITaperDelegate* Clone() const = 0;
  virtual T GetMaximumValue() const = 0;
  virtual T GetMinimumValue() const = 0;
  virtual T ConstrainRealValue(T value) const = 0;
  virtual T NormalizedToReal(double normalizedValue) const = 0;
  virtual double RealToNormalized(T realValue) const = 0;
};
