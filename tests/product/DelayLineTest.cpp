#include <gtest/gtest.h>

#include <memory>

#include "product/DelayLine.h"

namespace {

TEST(DelayLine, StartsSilentThenReturnsTheInputSixtyFourSamplesLate) {
  auto line = std::make_unique<DelayLine>();
  EXPECT_EQ(line->Index(), 0);
  EXPECT_EQ(line->LastOutput(), 0.0);
  EXPECT_EQ(line->Gain(), 1.0f);
  for (int n = 0; n < 1000; ++n) {
    const double x = 1.0 + n * 0.25;
    const double y = line->Process(x, 64);
    const double expected = n < 64 ? 0.0 : 1.0 + (n - 64) * 0.25;
    ASSERT_EQ(y, expected) << "call " << n;
    ASSERT_EQ(line->LastOutput(), y);
  }
}

TEST(DelayLine, RewindRestartsAtTheHeadAndKeepsTheContents) {
  auto line = std::make_unique<DelayLine>();
  for (int n = 1; n <= 100; ++n) line->Process(n, 64);
  // Slots 0..35 now hold 65..100, slots 36..63 hold 37..64.
  line->Rewind();
  EXPECT_EQ(line->Index(), 0);
  EXPECT_EQ(line->LastOutput(), 0.0);
  for (int slot = 0; slot < 64; ++slot) {
    const double expected = slot < 36 ? 65 + slot : 1 + slot;
    ASSERT_EQ(line->Process(-1.0, 64), expected) << "slot " << slot;
  }
  EXPECT_EQ(line->Process(0.0, 64), -1.0);
}

TEST(DelayLine, LengthSetsTheDelay) {
  auto line = std::make_unique<DelayLine>();
  for (int n = 0; n < 20; ++n) {
    const double y = line->Process(n + 1, 3);
    EXPECT_EQ(y, n < 3 ? 0.0 : n - 2) << n;
  }
}

TEST(DelayLine, GainScalesWhatIsWritten) {
  auto line = std::make_unique<DelayLine>();
  line->SetGain(0.5f);
  line->Process(3.0, 1);
  EXPECT_EQ(line->Process(0.0, 1), 1.5);
}

TEST(DelayLine, LengthBeyondTheBufferIsCutToTheBuffer) {
  auto line = std::make_unique<DelayLine>();
  // Every write stays inside the buffer (the sanitizer build checks the accesses).
  for (int n = 0; n < 2 * DelayLine::kCapacity + 10; ++n) {
    const double y = line->Process(n + 1, 1000000);
    if (n >= DelayLine::kCapacity) {
      ASSERT_EQ(y, n + 1 - DelayLine::kCapacity) << n;
    }
    ASSERT_LT(line->Index(), DelayLine::kCapacity + 1);
  }
}

}  // namespace
