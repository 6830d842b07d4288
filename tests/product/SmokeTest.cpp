#include <gtest/gtest.h>
TEST(Smoke, Builds) { EXPECT_EQ(sizeof(long long), 8u); }
