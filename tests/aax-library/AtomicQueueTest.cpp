#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "aax-library/AAX_CAtomicQueue.h"

namespace {
using Queue8 = AAX_CAtomicQueue<int, 8>;
}

TEST(AtomicQueue, FirstInFirstOutWithPeek) {
  Queue8 queue;
  int a = 1, b = 2, c = 3;
  EXPECT_EQ(queue.Peek(), nullptr);
  EXPECT_EQ(queue.Pop(), nullptr);
  EXPECT_EQ(queue.Push(&a), AAX_IContainer::eStatus_Success);
  EXPECT_EQ(queue.Push(&b), AAX_IContainer::eStatus_Success);
  EXPECT_EQ(queue.Peek(), &a);
  EXPECT_EQ(queue.Peek(), &a) << "peeking does not remove";
  EXPECT_EQ(queue.Pop(), &a);
  EXPECT_EQ(queue.Push(&c), AAX_IContainer::eStatus_Success);
  EXPECT_EQ(queue.Pop(), &b);
  EXPECT_EQ(queue.Peek(), &c);
  EXPECT_EQ(queue.Pop(), &c);
  EXPECT_EQ(queue.Pop(), nullptr);
}

TEST(AtomicQueue, NullElementIsRefused) {
  Queue8 queue;
  EXPECT_EQ(queue.Push(nullptr), AAX_IContainer::eStatus_Unsupported);
  EXPECT_EQ(static_cast<int>(AAX_IContainer::eStatus_Unsupported), 4);
  EXPECT_EQ(queue.Pop(), nullptr);
}

TEST(AtomicQueue, HoldsCapacityElementsAndReportsOverflowAsOne) {
  Queue8 queue;
  int values[9] = {};
  for (int i = 0; i < 8; ++i) ASSERT_EQ(queue.Push(&values[i]), AAX_IContainer::eStatus_Success) << i;
  EXPECT_EQ(queue.Push(&values[8]), AAX_IContainer::eStatus_Overflow);
  EXPECT_EQ(static_cast<int>(AAX_IContainer::eStatus_Overflow), 1);
  EXPECT_EQ(queue.Push(&values[8]), AAX_IContainer::eStatus_Overflow);
  // The refused pushes did not move the write position: after one pop, one push fits.
  EXPECT_EQ(queue.Pop(), &values[0]);
  EXPECT_EQ(queue.Push(&values[8]), AAX_IContainer::eStatus_Success);
  EXPECT_EQ(queue.Push(&values[8]), AAX_IContainer::eStatus_Overflow);
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(queue.Pop(), &values[i]) << i;
  EXPECT_EQ(queue.Pop(), nullptr);
}

TEST(AtomicQueue, IndicesWrapOverManyCycles) {
  std::mt19937 random(20261209);
  std::printf("seed 20261209\n");
  Queue8 queue;
  std::vector<int> storage(10000);
  std::size_t pushed = 0, popped = 0;
  while (popped < storage.size()) {
    const int burst = static_cast<int>(random() % 9);
    for (int i = 0; i < burst && pushed < storage.size(); ++i) {
      if (queue.Push(&storage[pushed]) != AAX_IContainer::eStatus_Success) break;
      ++pushed;
    }
    const int take = static_cast<int>(random() % 9);
    for (int i = 0; i < take; ++i) {
      int* element = queue.Pop();
      if (!element) break;
      ASSERT_EQ(element, &storage[popped]) << "out of order at " << popped;
      ++popped;
    }
    ASSERT_GE(queue.WriteIndex(), 0);
    ASSERT_LE(queue.WriteIndex(), 8);
    ASSERT_GE(queue.ReadIndex(), 0);
    ASSERT_LT(queue.ReadIndex(), 8);
  }
  EXPECT_EQ(pushed, storage.size());
}

TEST(AtomicQueue, ClearEmptiesEverySlot) {
  Queue8 queue;
  int a = 1, b = 2;
  queue.Push(&a);
  queue.Push(&b);
  queue.Clear();
  EXPECT_EQ(queue.Peek(), nullptr);
  EXPECT_EQ(queue.Pop(), nullptr);
  // The next element is the next one the reader finds, and the full capacity is there again.
  EXPECT_EQ(queue.Push(&a), AAX_IContainer::eStatus_Success);
  EXPECT_EQ(queue.Pop(), &a);
  int values[8] = {};
  for (int& value : values) EXPECT_EQ(queue.Push(&value), AAX_IContainer::eStatus_Success);
  for (int& value : values) EXPECT_EQ(queue.Pop(), &value);
}

TEST(AtomicQueue, ProducerAndConsumerThreadsSeeEveryElementInOrder) {
  constexpr int kCount = 10000;  // 40 trips round the ring
  AAX_CAtomicQueue<int, 256> queue;
  std::vector<int> storage(kCount);
  for (int i = 0; i < kCount; ++i) storage[static_cast<std::size_t>(i)] = i;
  std::atomic<bool> failed{false};
  std::thread producer([&] {
    for (int i = 0; i < kCount; ++i) {
      while (queue.Push(&storage[static_cast<std::size_t>(i)]) != AAX_IContainer::eStatus_Success) {
        std::this_thread::yield();
      }
    }
  });
  int expected = 0;
  while (expected < kCount) {
    int* element = queue.Pop();
    if (!element) {
      std::this_thread::yield();
      continue;
    }
    if (*element != expected) failed = true;
    ++expected;
  }
  producer.join();
  EXPECT_FALSE(failed);
  EXPECT_EQ(queue.Pop(), nullptr);
}

TEST(AtomicQueue, SeveralProducersKeepTheirOwnOrder) {
  constexpr int kProducers = 3;
  constexpr int kEach = 3000;
  AAX_CAtomicQueue<int, 512> queue;
  std::vector<int> storage(kProducers * kEach);
  std::vector<std::thread> producers;
  for (int p = 0; p < kProducers; ++p) {
    producers.emplace_back([&, p] {
      for (int i = 0; i < kEach; ++i) {
        int& slot = storage[static_cast<std::size_t>(p * kEach + i)];
        slot = p * kEach + i;
        while (queue.Push(&slot) != AAX_IContainer::eStatus_Success) std::this_thread::yield();
      }
    });
  }
  std::vector<int> next(kProducers, 0);
  int received = 0;
  bool ordered = true;
  while (received < kProducers * kEach) {
    int* element = queue.Pop();
    if (!element) {
      std::this_thread::yield();
      continue;
    }
    const int producer = *element / kEach;
    if (*element % kEach != next[static_cast<std::size_t>(producer)]) ordered = false;
    ++next[static_cast<std::size_t>(producer)];
    ++received;
  }
  for (auto& thread : producers) thread.join();
  EXPECT_TRUE(ordered);
  for (int p = 0; p < kProducers; ++p) EXPECT_EQ(next[static_cast<std::size_t>(p)], kEach);
}
