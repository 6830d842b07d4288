#include "product/RangeMap.h"

#include <cassert>

RangeMap::RangeMap(double inMin, double inMax, double outMin, double outMax)
    : mInMin(inMin), mInMax(inMax), mOutMin(outMin), mOutMax(outMax) {
  assert(inMax != inMin && "RangeMap needs a non-empty input range");
}
