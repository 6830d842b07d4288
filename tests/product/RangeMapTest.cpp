#include <gtest/gtest.h>

#include "product/RangeMap.h"

namespace {

TEST(RangeMap, MapsLinearlyAndRemembersInputAndResult) {
  RangeMap map(0.0, 1.0, 500.0, 5000.0);
  EXPECT_EQ(map.Map(0.0), 500.0);
  EXPECT_EQ(map.Map(1.0), 5000.0);
  EXPECT_EQ(map.Map(0.5), 2750.0);
  EXPECT_EQ(map.Input(), 0.5);
  EXPECT_EQ(map.Result(), 2750.0);
}

TEST(RangeMap, DoesNotClamp) {
  RangeMap map(0.0, 1.0, 1000.0, 7000.0);
  EXPECT_EQ(map.Map(2.0), 13000.0);
  EXPECT_EQ(map.Map(-0.5), -2000.0);
}

TEST(RangeMap, ReversedAndOffsetRanges) {
  RangeMap map(-10.0, 10.0, 1.0, -1.0);
  EXPECT_EQ(map.Map(-10.0), 1.0);
  EXPECT_EQ(map.Map(5.0), -0.5);
  EXPECT_EQ(map.Map(20.0), -2.0);
}

}  // namespace
