#include "product/HalfbandFilter.h"

void HalfbandFilter::Clear() {
  mHistory.fill(0.0);
  mNewest = 0;
}
