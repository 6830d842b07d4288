#include <gtest/gtest.h>

#include <string>

#include "IPlug/IParam.h"
#include "graphics/TextEntryFilter.h"

using igraphics::TextEntryFilter;

TEST(TextEntryFilter, EachParameterKindTakesOnlyWhatItsTextCanHold) {
  iplug::IParam boolParam, intParam, enumParam, doubleParam;
  boolParam.InitBool("Bypass", false);
  intParam.InitInt("Steps", 0, -10, 10);
  enumParam.InitEnum("Shape", 0, 3, "", 0, "", "Soft", "Hard", "Clip");
  doubleParam.InitDouble("Drive", 1.0, 0.0, 10.0, 0.01);
  const std::u32string numerals = U"0123456789+-";
  const struct {
    const iplug::IParam* param;
    std::u32string taken;
  } cases[] = {
      {&boolParam, numerals}, {&intParam, numerals}, {&enumParam, numerals}, {&doubleParam, numerals + U"."},
      {nullptr, numerals + U".aZ ,e\u00e9"},
  };
  const std::u32string typed = numerals + U".aZ ,e\u00e9";
  for (const auto& c : cases) {
    for (char32_t ch : typed)
      EXPECT_EQ(TextEntryFilter::Accepts(c.param, ch), c.taken.find(ch) != std::u32string::npos)
          << (c.param ? c.param->GetName() : "no parameter") << ": U+" << std::hex << static_cast<unsigned>(ch);
    EXPECT_TRUE(TextEntryFilter::Accepts(c.param, TextEntryFilter::kBackspace)) << "backspace edits";
  }
}
