#include <gtest/gtest.h>

#include <vector>

#include "support/AllocationCounter.h"

TEST(AllocationCounter, SeesHeapAllocationsOnThisThread) {
  testsupport::AllocationScope scope;
  auto* v = new std::vector<int>(100);
  EXPECT_GE(scope.Count(), 2);
  delete v;
  testsupport::AllocationScope quiet;
  int x = 0;
  for (int i = 0; i < 10; ++i) x += i;
  EXPECT_EQ(quiet.Count(), 0) << x;
}
