#include "product/DelayLine.h"

void DelayLine::Rewind() {
  mIndex = 0;
  mLastOutput = 0.0;
}
