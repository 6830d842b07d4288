#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/validator/ValidateOptions.h"

using tbvalidate::ValidateOptions;

TEST(ValidateOptions, ReadsItsOptionsAndRefusesTheRest) {
  struct Case {
    std::vector<std::string> args;
    bool ok;
    int strictness;
    const char* error;
  };
  const Case cases[] = {
      {{"validate"}, true, 10, ""},
      {{"validate", "--strictness", "1", "--seed=42", "--module", "m.so"}, true, 1, ""},
      {{"validate", "--strictness=11"}, false, 0, "--strictness needs a whole number from 1 to 10"},
      {{"validate", "--strictness", "0"}, false, 0, "from 1 to 10"},
      {{"validate", "--strictness", "3x"}, false, 0, "got '3x'"},
      {{"validate", "--seed", "-1"}, false, 0, "--seed needs a whole number"},
      {{"validate", "--seed", "18446744073709551616"}, false, 0, "--seed needs"},
      {{"validate", "--module"}, false, 0, "--module needs a value"},
      {{"validate", "--module="}, false, 0, "--module needs a file name"},
      {{"validate", "extra"}, false, 0, "unknown option 'extra'"},
  };
  for (const Case& c : cases) {
    ValidateOptions options;
    std::string error;
    EXPECT_EQ(ValidateOptions::Parse(c.args, options, error), c.ok) << c.args.back();
    if (c.ok) {
      EXPECT_EQ(options.strictness, c.strictness);
    } else {
      EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
  }
  ValidateOptions options;
  std::string error;
  ASSERT_TRUE(ValidateOptions::Parse({"validate", "--seed", "18446744073709551615"}, options, error));
  EXPECT_TRUE(options.seedGiven);
  EXPECT_EQ(options.seed, 18446744073709551615ull);
}
