#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "host/validator/OutputCheck.h"

using tbvalidate::OutputCheck;

TEST(OutputCheck, FindsTheFirstSampleAHostCannotPlay) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    std::vector<float> samples;
    const char* problem;  // empty: fine
  };
  const Case cases[] = {
      {{0.0f, 0.5f, -0.9f, 1e-30f}, ""},
      {{0.0f, nan}, "frame 1 is NaN"},
      {{-inf}, "frame 0 is infinite"},
      {{0.0f, 0.0f, FLT_MIN / 4}, "frame 2 is subnormal"},
      {{0.25f, 5.0f}, "frame 1 is 5, beyond"},
  };
  const double limit = OutputCheck::Limit(1.0, 0.0);
  EXPECT_NEAR(limit, 1.001 * std::pow(10.0, 12.0 / 20.0), 1e-9);
  for (const Case& c : cases) {
    const std::string problem = OutputCheck::Examine(c.samples.data(), static_cast<int>(c.samples.size()), limit);
    EXPECT_EQ(problem.rfind(c.problem, 0), 0u) << problem;
    EXPECT_EQ(problem.empty(), std::string(c.problem).empty()) << problem;
  }
  std::vector<float> marked(3, 0.0f);
  OutputCheck::MarkUnwritten(marked.data(), 3);
  marked[0] = 0.1f;
  EXPECT_EQ(OutputCheck::Examine(marked.data(), 3, limit), "frame 1 was not written");
}
