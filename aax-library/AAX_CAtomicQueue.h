#pragma once
#include <atomic>
#include <cstdint>

#include "aax-library/AAX_CMutex.h"
#include "aax-library/AAX_IPointerQueue.h"

// Fixed-capacity queue of N pointers for one reader and any number of writers. Writers are
// serialised by a mutex; the reader takes no lock and never waits. A slot is free when it
// holds null, so null cannot be queued. Holds up to N elements.
template <typename T, int32_t N>
class AAX_CAtomicQueue : public AAX_IPointerQueue<T> {
  static_assert(N > 0, "a queue needs at least one slot");

public:
  using EStatus = typename AAX_IContainer::EStatus;

  AAX_CAtomicQueue() {
    for (auto& slot : mSlots) slot.store(nullptr, std::memory_order_relaxed);
  }

  // Every slot back to empty. The write position moves back to the read position: left where
  // it was, the next element would land past the slot the reader looks at, and the reader would
  // never reach it. Not to be called while the reader runs.
  void Clear() override {
    AAX_StLock_Guard guard(mWriterMutex);
    for (auto& slot : mSlots) slot.store(nullptr, std::memory_order_release);
    mWriteIndex.store(mReadIndex.load(std::memory_order_acquire), std::memory_order_release);
  }

  // Writer threads. Status 1 (overflow) when the next slot is still occupied.
  EStatus Push(T* element) override {
    if (!element) return AAX_IContainer::eStatus_Unsupported;
    AAX_StLock_Guard guard(mWriterMutex);
    const int32_t previous = mWriteIndex.fetch_add(1, std::memory_order_acq_rel);
    const int32_t index = previous + 1;
    T* expected = nullptr;
    if (!mSlots[SlotOf(index)].compare_exchange_strong(expected, element, std::memory_order_acq_rel)) {
      int32_t current = index;
      mWriteIndex.compare_exchange_strong(current, previous == -1 ? N : previous, std::memory_order_acq_rel);
      return AAX_IContainer::eStatus_Overflow;
    }
    if (index >= N) {
      int32_t current = index;
      mWriteIndex.compare_exchange_strong(current, index % N, std::memory_order_acq_rel);
    }
    return AAX_IContainer::eStatus_Success;
  }

  // The reader thread only. Allocates nothing, takes no lock.
  T* Pop() override {
    const int32_t index = (mReadIndex.load(std::memory_order_relaxed) + 1) % N;
    T* element = mSlots[index].exchange(nullptr, std::memory_order_acq_rel);
    if (element) mReadIndex.store(index, std::memory_order_release);
    return element;
  }

  // The reader thread only. Allocates nothing, takes no lock.
  T* Peek() const override {
    const int32_t index = (mReadIndex.load(std::memory_order_relaxed) + 1) % N;
    return mSlots[index].load(std::memory_order_acquire);
  }

  static constexpr int32_t Capacity() { return N; }
  int32_t ReadIndex() const { return mReadIndex.load(std::memory_order_acquire); }
  int32_t WriteIndex() const { return mWriteIndex.load(std::memory_order_acquire); }

private:
  static int32_t SlotOf(int32_t index) { return ((index % N) + N) % N; }

  std::atomic<T*> mSlots[N];
  std::atomic<int32_t> mReadIndex{0};
  std::atomic<int32_t> mWriteIndex{0};
  AAX_CMutex mWriterMutex;
};
