#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "graphics/Utf16Text.h"
#include "support/TestSeed.h"

using namespace igraphics;

namespace {

uint32_t Seed(const char* what) { return testsupport::TestSeed(what, "TEXT_SEED"); }

}  // namespace

// Characters of every encoded length, both ways. (The Windows tests hold the conversions
// against the system's own for random text.)
TEST(Utf16Text, WellFormedTextConvertsBothWays) {
  const struct {
    const char* utf8;
    std::u16string utf16;
  } cases[] = {
      {"", u""},
      {"Ratio 4:1", u"Ratio 4:1"},
      {"\xC2\xBD dB", u"\u00BD dB"},
      {"\xE6\x9D\xB1\xE4\xBA\xAC \xEF\xBF\xBF", u"\u6771\u4EAC \uFFFF"},
      {"\xF0\x9F\x8E\x9B \xF4\x8F\xBF\xBF", u"\U0001F39B \U0010FFFF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToUtf16(c.utf8), c.utf16) << c.utf8;
    EXPECT_EQ(ToUtf8(c.utf16.c_str()), c.utf8);
    EXPECT_EQ(Utf16Length(c.utf8), static_cast<int>(c.utf16.size()));
    EXPECT_EQ(Utf8Length(c.utf16.c_str()), static_cast<int>(std::string(c.utf8).size()));
  }
  EXPECT_EQ(ToUtf16(nullptr), u"");
  EXPECT_EQ(ToUtf8(static_cast<const char16_t*>(nullptr)), "");
}

TEST(Utf16Text, IllFormedUtf8BecomesOneReplacementPerMaximalSubpart) {
  const struct {
    const char* bytes;
    std::u16string expected;
  } cases[] = {
      {"a\x80z", u"a\uFFFDz"},                          // stray continuation byte
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                    // overlong "/": C0 never starts a character
      {"\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},          // overlong three-byte form
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},          // a surrogate written in UTF-8
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
      {"\xE2\x82" "A", u"\uFFFDA"},                     // cut three-byte character: one replacement
      {"\xF0\x9F\x8E", u"\uFFFD"},                      // cut at the end of the text
      {"\xF5\xFF", u"\uFFFD\uFFFD"},                    // bytes that never occur
      {"\xE2\x82\xAC", u"\u20AC"},                      // and the well-formed euro sign
  };
  for (const auto& c : cases) EXPECT_EQ(ToUtf16(c.bytes), c.expected) << c.bytes;
}

TEST(Utf16Text, UnpairedSurrogatesBecomeReplacements) {
  const struct {
    std::u16string units;
    std::string expected;
  } cases[] = {
      {std::u16string{0xD800, u'a'}, "\xEF\xBF\xBD" "a"},
      {std::u16string{0xDC00, 0xD83C}, "\xEF\xBF\xBD\xEF\xBF\xBD"},  // low before high
      {std::u16string{u'x', 0xD83C}, "x\xEF\xBF\xBD"},             // high at the very end
      {std::u16string{0xD83C, 0xDF9B}, "\xF0\x9F\x8E\x9B"},        // a real pair
  };
  for (const auto& c : cases) EXPECT_EQ(ToUtf8(c.units.c_str(), static_cast<int>(c.units.size())), c.expected);
  // A length that cuts a pair leaves a lone high surrogate.
  const std::u16string pair{0xD83C, 0xDF9B, u'!'};
  EXPECT_EQ(ToUtf8(pair.c_str(), 1), "\xEF\xBF\xBD");
  EXPECT_EQ(ToUtf8(pair.c_str(), 3), "\xF0\x9F\x8E\x9B!");
  // A terminator ends the text before the length does.
  const std::u16string early{u'a', 0, u'b'};
  EXPECT_EQ(ToUtf8(early.c_str(), 3), "a");
}

// Every capacity from 0 past the needed size: the whole text or an empty one, and never a
// unit written past the capacity (the guard units after it keep their value).
TEST(Utf16Text, BoundedConversionsNeverWritePastTheirCapacity) {
  const char* utf8 = "Grüße 🎛 東京";
  const std::u16string utf16 = ToUtf16(utf8);
  const int units = static_cast<int>(utf16.size());
  const int bytes = static_cast<int>(std::string(utf8).size());
  constexpr char16_t kGuard16 = 0xABCD;
  constexpr char kGuard8 = '#';
  for (int capacity = 0; capacity <= units + 3; ++capacity) {
    std::vector<char16_t> dst(static_cast<size_t>(capacity) + 4, kGuard16);
    const int n = Utf8ToUtf16(utf8, dst.data(), capacity);
    if (capacity > units) {
      EXPECT_EQ(n, units);
      EXPECT_EQ(std::u16string(dst.data()), utf16);
    } else {
      EXPECT_EQ(n, -1) << "capacity " << capacity;
      if (capacity > 0) {
        EXPECT_EQ(dst[0], 0) << "an empty text, not a cut one";
      }
    }
    for (size_t i = static_cast<size_t>(capacity); i < dst.size(); ++i)
      ASSERT_EQ(dst[i], kGuard16) << "capacity " << capacity << " wrote unit " << i;
  }
  for (int capacity = 0; capacity <= bytes + 3; ++capacity) {
    std::vector<char> dst(static_cast<size_t>(capacity) + 4, kGuard8);
    const int n = Utf16ToUtf8(utf16.c_str(), -1, dst.data(), capacity);
    if (capacity > bytes) {
      EXPECT_EQ(n, bytes);
      EXPECT_STREQ(dst.data(), utf8);
    } else {
      EXPECT_EQ(n, -1) << "capacity " << capacity;
      if (capacity > 0) {
        EXPECT_EQ(dst[0], 0);
      }
    }
    for (size_t i = static_cast<size_t>(capacity); i < dst.size(); ++i)
      ASSERT_EQ(dst[i], kGuard8) << "capacity " << capacity << " wrote byte " << i;
  }
  EXPECT_EQ(Utf8ToUtf16("x", static_cast<char16_t*>(nullptr), 10), -1);
  char16_t one[1] = {kGuard16};
  EXPECT_EQ(Utf8ToUtf16(nullptr, one, 1), 0) << "null converts as an empty text";
  EXPECT_EQ(one[0], 0);
}

// Random bytes: whatever they hold, the conversion's output is well-formed (its round trip is
// stable) and the length it announces is the length it writes.
TEST(Utf16Text, RandomBytesGiveWellFormedTextOfTheAnnouncedLength) {
  std::mt19937 rng(Seed("Utf16Text random bytes"));
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(static_cast<size_t>(round % 24), '\0');
    for (char& b : bytes) b = static_cast<char>(std::uniform_int_distribution<int>(1, 255)(rng));
    const std::u16string utf16 = ToUtf16(bytes.c_str());
    ASSERT_EQ(static_cast<int>(utf16.size()), Utf16Length(bytes.c_str()));
    const std::string utf8 = ToUtf8(utf16.c_str());
    ASSERT_EQ(ToUtf16(utf8.c_str()), utf16) << "the output is well-formed";
    std::vector<char16_t> bounded(utf16.size() + 1);
    ASSERT_EQ(Utf8ToUtf16(bytes.c_str(), bounded.data(), static_cast<int>(bounded.size())),
              static_cast<int>(utf16.size()));
  }
}
