#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "IPlug/MultiProducerRing.h"
#include "IPlug/TransferRing.h"

using iplug::MultiProducerRing;
using iplug::TransferRing;

namespace {

uint32_t TestSeed() {
  const uint32_t seed = std::random_device{}();
  std::printf("random seed %u\n", seed);
  return seed;
}

// An element whose parts must arrive together.
struct Stamped {
  int mProducer = 0;
  int mSequence = 0;
  double mCheck = 0.0;
};

double CheckOf(int producer, int sequence) { return producer * 1e6 + sequence * 0.5; }

}  // namespace

TEST(TransferRing, HoldsOneLessThanItsSlotsAndDropsTheNewest) {
  TransferRing<int, 513> ring;
  for (int i = 0; i < 512; ++i) ASSERT_TRUE(ring.Push(i));
  EXPECT_FALSE(ring.Push(512)) << "the 513th element does not fit";
  EXPECT_EQ(ring.Count(), 512);
  int value = -1;
  for (int i = 0; i < 512; ++i) {
    ASSERT_TRUE(ring.Pop(value));
    EXPECT_EQ(value, i) << "the first 512 stay, in order";
  }
  EXPECT_FALSE(ring.Pop(value));
  EXPECT_EQ(ring.Count(), 0);
}

TEST(TransferRing, CountIsRightAcrossTheWrap) {
  TransferRing<int, 5> ring;
  int value = 0;
  for (int round = 0; round < 7; ++round) {  // walks the indices around several times
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(ring.Push(round * 10 + i));
    EXPECT_EQ(ring.Count(), 3);
    ASSERT_TRUE(ring.Pop(value));
    EXPECT_EQ(value, round * 10);
    EXPECT_EQ(ring.Count(), 2);
    ASSERT_TRUE(ring.Pop(value));
    ASSERT_TRUE(ring.Pop(value));
    EXPECT_EQ(value, round * 10 + 2);
    EXPECT_EQ(ring.Count(), 0);
  }
}

TEST(TransferRing, OneProducerAndOneConsumerThreadLoseAndReorderNothing) {
  constexpr int kElements = 200000;
  TransferRing<Stamped, 33> ring;
  std::mt19937 rng(TestSeed());
  const unsigned yieldMask = (rng() % 4) + 3;  // how often each side yields varies from run to run
  std::thread producer([&] {
    for (int i = 0; i < kElements; ++i) {
      const Stamped element{1, i, CheckOf(1, i)};
      while (!ring.Push(element)) std::this_thread::yield();
      if ((static_cast<unsigned>(i) & yieldMask) == 0) std::this_thread::yield();
    }
  });
  int expected = 0;
  int torn = 0;
  Stamped element;
  while (expected < kElements) {
    if (!ring.Pop(element)) {
      std::this_thread::yield();
      continue;
    }
    if (element.mSequence != expected || element.mCheck != CheckOf(1, expected)) ++torn;
    ++expected;
  }
  producer.join();
  EXPECT_EQ(torn, 0);
  EXPECT_EQ(ring.Count(), 0);
}

TEST(MultiProducerRing, KeepsTheFirstElementsWhenFull) {
  MultiProducerRing<int, 512> ring;
  for (int i = 0; i < 513; ++i) EXPECT_EQ(ring.Push(i), i < 512);
  EXPECT_EQ(ring.Count(), 512);
  int value = -1;
  for (int i = 0; i < 512; ++i) {
    ASSERT_TRUE(ring.Pop(value));
    EXPECT_EQ(value, i);
  }
  EXPECT_FALSE(ring.Pop(value));
  // After draining, the slots are usable again, many times over.
  for (int i = 0; i < 5000; ++i) {
    ASSERT_TRUE(ring.Push(i));
    ASSERT_TRUE(ring.Pop(value));
    ASSERT_EQ(value, i);
  }
}

TEST(MultiProducerRing, SeveralProducersDeliverEveryElementOnceAndInTheirOrder) {
  constexpr int kProducers = 3;
  constexpr int kPerProducer = 60000;
  MultiProducerRing<Stamped, 64> ring;
  std::atomic<int> dropped{0};
  std::mt19937 rng(TestSeed());
  const unsigned yieldMask = (rng() % 8) + 1;
  std::vector<std::thread> producers;
  for (int p = 0; p < kProducers; ++p) {
    producers.emplace_back([&, p] {
      for (int i = 0; i < kPerProducer; ++i) {
        const Stamped element{p, i, CheckOf(p, i)};
        while (!ring.Push(element)) {
          dropped.fetch_add(1, std::memory_order_relaxed);
          std::this_thread::yield();
        }
        if ((static_cast<unsigned>(i) & yieldMask) == 0) std::this_thread::yield();
      }
    });
  }
  std::vector<int> next(kProducers, 0);
  int received = 0;
  int bad = 0;
  Stamped element;
  while (received < kProducers * kPerProducer) {
    if (!ring.Pop(element)) {
      std::this_thread::yield();
      continue;
    }
    const bool known = element.mProducer >= 0 && element.mProducer < kProducers;
    if (!known || element.mSequence != next[static_cast<size_t>(element.mProducer)] ||
        element.mCheck != CheckOf(element.mProducer, element.mSequence))
      ++bad;
    if (known) ++next[static_cast<size_t>(element.mProducer)];
    ++received;
  }
  for (auto& t : producers) t.join();
  EXPECT_EQ(bad, 0);
  for (int p = 0; p < kProducers; ++p) EXPECT_EQ(next[static_cast<size_t>(p)], kPerProducer);
  EXPECT_FALSE(ring.Pop(element));
  std::printf("full-ring retries: %d\n", dropped.load());
}
