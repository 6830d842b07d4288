#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "aax-library/AAX_CMutex.h"

TEST(Mutex, OwnerDoesNotTakeItTwice) {
  AAX_CMutex mutex;
  ASSERT_TRUE(mutex.IsValid());
  EXPECT_TRUE(mutex.Lock());
  EXPECT_TRUE(mutex.IsOwnedByCurrentThread());
  EXPECT_FALSE(mutex.Lock()) << "the owner takes nothing (and does not deadlock)";
  EXPECT_TRUE(mutex.Try_Lock()) << "the owner already holds it";
  mutex.Unlock();
  EXPECT_FALSE(mutex.IsOwnedByCurrentThread());
  mutex.Unlock();  // not the owner any more: nothing happens
  EXPECT_TRUE(mutex.Try_Lock());
  mutex.Unlock();
}

TEST(Mutex, OtherThreadsCanNeitherTakeNorReleaseIt) {
  AAX_CMutex mutex;
  ASSERT_TRUE(mutex.Lock());
  bool otherTook = true;
  std::thread other([&] {
    mutex.Unlock();  // not the owner: ignored
    otherTook = mutex.Try_Lock();
  });
  other.join();
  EXPECT_FALSE(otherTook);
  EXPECT_TRUE(mutex.IsOwnedByCurrentThread());
  mutex.Unlock();
  std::thread after([&] {
    otherTook = mutex.Try_Lock();
    if (otherTook) mutex.Unlock();
  });
  after.join();
  EXPECT_TRUE(otherTook);
}

TEST(Mutex, NestedGuardsReleaseOnlyWhatTheyTook) {
  AAX_CMutex mutex;
  {
    AAX_StLock_Guard outer(mutex);
    EXPECT_TRUE(outer.Taken());
    {
      AAX_StLock_Guard inner(mutex);
      EXPECT_FALSE(inner.Taken());
    }
    EXPECT_TRUE(mutex.IsOwnedByCurrentThread()) << "the inner guard must not release the outer's lock";
  }
  EXPECT_FALSE(mutex.IsOwnedByCurrentThread());
}

TEST(Mutex, ExcludesConcurrentWriters) {
  AAX_CMutex mutex;
  int64_t counter = 0;  // deliberately plain: only the mutex protects it
  std::atomic<int> inside{0};
  std::atomic<bool> overlap{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 1000; ++i) {
        AAX_StLock_Guard guard(mutex);
        if (inside.fetch_add(1) != 0) overlap = true;
        ++counter;
        inside.fetch_sub(1);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_FALSE(overlap);
  EXPECT_EQ(counter, 4000);
}
