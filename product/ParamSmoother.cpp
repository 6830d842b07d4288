#include "product/ParamSmoother.h"

#include <cmath>
#include <numbers>

ParamSmoother::ParamSmoother() : mA(std::exp(-2.0 * std::numbers::pi / 240.0)), mB(1.0 - mA) {}

void ParamSmoother::SetCutoff(double fs) {
  // A rate of 0 gives a = 0 (the value follows its target at once); a negative or undefined
  // rate would make the recursion grow without bound or turn to NaN, so it does the same.
  if (!(fs > 0.0)) {
    mA = 0.0;
    mB = 1.0;
    return;
  }
  mA = std::exp(-2.0 * std::numbers::pi / (0.1 * fs));
  mB = 1.0 - mA;
}
