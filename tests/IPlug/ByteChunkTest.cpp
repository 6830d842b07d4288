#include <gtest/gtest.h>

#include <cstring>

#include "IPlug/ByteChunk.h"
#include "IPlug/GrowableBuffer.h"
#include "IPlug/TextBuffer.h"

using iplug::ByteChunk;
using iplug::GrowableBuffer;
using iplug::TextBuffer;

TEST(GrowableBuffer, ChunkGranularityGrowsInPagesLessTheAllocatorHeader) {
  GrowableBuffer b(4096);
  b.Resize(1);
  EXPECT_EQ(b.Allocated(), 4000);
  void* first = b.Data();
  b.Resize(4000);
  EXPECT_EQ(b.Data(), first) << "still inside the allocation";
  EXPECT_EQ(b.Allocated(), 4000);
  b.Resize(4001);
  EXPECT_EQ(b.Allocated(), 8096);
  b.Resize(100000);
  EXPECT_EQ(b.Allocated(), 147360);  // half the size again, cut to pages
  b.Resize(50000000);
  EXPECT_EQ(b.Allocated(), (50000000 + 96 + 0x400000) / 4096 * 4096 - 96) << "growth step capped at 4 MiB";
}

TEST(GrowableBuffer, TextGranularityAddsHalfOrGranularity) {
  GrowableBuffer b(128);
  b.Resize(10);
  EXPECT_EQ(b.Allocated(), 138);
  b.Resize(1000);
  EXPECT_EQ(b.Allocated(), 1500);
}

TEST(GrowableBuffer, ShrinksOnlyWhenAllowedAndWellBelowTheAllocation) {
  GrowableBuffer b(128);
  b.Resize(1000);
  const int big = b.Allocated();
  b.Resize(900, true);
  EXPECT_EQ(b.Allocated(), big) << "900 is above half the allocation";
  b.Resize(100, false);
  EXPECT_EQ(b.Allocated(), big) << "shrinking not allowed";
  EXPECT_EQ(b.Size(), 100);
  b.Resize(200, false);
  b.Resize(100, true);
  EXPECT_LT(b.Allocated(), big);
  EXPECT_EQ(b.Size(), 100);
  EXPECT_EQ(b.Resize(0), nullptr);
  EXPECT_EQ(b.Allocated(), 0);
  EXPECT_EQ(b.Resize(-5), nullptr) << "a negative size counts as 0";
}

TEST(GrowableBuffer, KeepsContentsAcrossGrowthAndRefusesImpossibleSizes) {
  GrowableBuffer b(4096);
  auto* p = static_cast<unsigned char*>(b.Resize(3000));
  for (int i = 0; i < 3000; ++i) p[i] = static_cast<unsigned char>(i * 7);
  p = static_cast<unsigned char*>(b.Resize(300000));
  for (int i = 0; i < 3000; ++i) ASSERT_EQ(p[i], static_cast<unsigned char>(i * 7));
  b.Resize(0x7FFFFFF0);  // cannot be represented by the growth rule
  EXPECT_EQ(b.Size(), 300000) << "a failed resize keeps the old size";
  EXPECT_EQ(static_cast<unsigned char*>(b.Data())[2999], static_cast<unsigned char>(2999 * 7));
}

TEST(TextBuffer, SetAppendAndFormatWithLimits) {
  TextBuffer t;
  EXPECT_STREQ(t.Get(), "");
  t.Set("Tollenbrook", 4);
  EXPECT_STREQ(t.Get(), "Toll");
  t.Append("enbrook");
  EXPECT_STREQ(t.Get(), "Tollenbrook");
  t.SetFormatted(32, "v%d.%d.%d", 3, 0, 0);
  EXPECT_STREQ(t.Get(), "v3.0.0");
  t.SetFormatted(5, "%s", "abcdefghij");
  EXPECT_STREQ(t.Get(), "abcde");
  t.AppendFormatted(3, "%d", 123456);
  EXPECT_STREQ(t.Get(), "abcde123");
  t.Set(t.Get() + 2);
  EXPECT_STREQ(t.Get(), "cde123") << "setting from its own text";
  TextBuffer copy = t;
  t.Set("x");
  EXPECT_STREQ(copy.Get(), "cde123");
}

TEST(TextBuffer, SettingAnEmptyBufferFromItsOwnEmptyTextIsHarmless) {
  iplug::TextBuffer text;
  text.Set(text.Get());  // the empty buffer's "" is shared with string literals
  EXPECT_STREQ(text.Get(), "");
  iplug::TextBuffer fromLiteral("");
  EXPECT_STREQ(fromLiteral.Get(), "");
  text.Set("abc");
  text.Set(text.Get() + 1);
  EXPECT_STREQ(text.Get(), "bc");
}

TEST(ByteChunk, ValuesRoundTripInNativeLayout) {
  ByteChunk c;
  EXPECT_EQ(c.Append(int32_t{591}), 4);
  EXPECT_EQ(c.Append(1.5f), 8);
  EXPECT_EQ(c.Append(-2.25), 16);
  EXPECT_EQ(c.Append(uint8_t{200}), 17);
  EXPECT_EQ(c.AppendText("Mix"), 24);

  int32_t i = 0;
  float f = 0;
  double d = 0;
  uint8_t u = 0;
  TextBuffer text;
  int pos = c.Read(i, 0);
  pos = c.Read(f, pos);
  pos = c.Read(d, pos);
  pos = c.Read(u, pos);
  pos = c.ReadText(text, pos);
  EXPECT_EQ(pos, 24);
  EXPECT_EQ(i, 591);
  EXPECT_EQ(f, 1.5f);
  EXPECT_EQ(d, -2.25);
  EXPECT_EQ(u, 200);
  EXPECT_STREQ(text.Get(), "Mix");
  int32_t raw;
  std::memcpy(&raw, c.Data(), 4);
  EXPECT_EQ(raw, 591);
}

TEST(ByteChunk, FailedReadsChainAndLeaveTheValueUntouched) {
  ByteChunk c;
  for (int k = 0; k < 3; ++k) c.Append(int32_t{k});
  int32_t v = 77;
  EXPECT_EQ(c.Read(v, c.Size() - 3), -1);
  EXPECT_EQ(v, 77);
  EXPECT_EQ(c.Read(v, c.Size() - 4), c.Size());
  EXPECT_EQ(c.Read(v, -1), -1);
  EXPECT_EQ(c.Read(v, -4), -1);
  double d = 5;
  EXPECT_EQ(c.Read(d, 8), -1) << "a double needs 8 bytes";
  EXPECT_EQ(d, 5.0);
}

TEST(ByteChunk, DamagedTextLengthsAreRefused) {
  TextBuffer text("kept");
  ByteChunk negative;
  negative.Append(int32_t{-100});
  EXPECT_EQ(negative.ReadText(text, 0), -1);
  ByteChunk longer;
  longer.Append(int32_t{1000});
  longer.AppendBytes("abc", 3);
  EXPECT_EQ(longer.ReadText(text, 0), -1);
  ByteChunk huge;
  huge.Append(int32_t{0x7FFFFFFF});
  EXPECT_EQ(huge.ReadText(text, 0), -1);
  EXPECT_STREQ(text.Get(), "kept");
  ByteChunk empty;
  empty.Append(int32_t{0});
  EXPECT_EQ(empty.ReadText(text, 0), 4);
  EXPECT_STREQ(text.Get(), "");
  EXPECT_EQ(empty.ReadText(text, 2), -1);
}

TEST(ByteChunk, ResizeClearAndCompare) {
  ByteChunk a, b;
  a.Append(1.0);
  b.Append(1.0);
  EXPECT_TRUE(a.IsEqual(b));
  b.Append(uint8_t{0});
  EXPECT_FALSE(a.IsEqual(b));
  EXPECT_EQ(b.Resize(8), 8);
  EXPECT_TRUE(a.IsEqual(b));
  a.Clear();
  EXPECT_EQ(a.Size(), 0);
}
