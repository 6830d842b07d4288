#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <type_traits>

namespace iplug {

// Fixed-size ring for several producer threads and one consumer, lock-free and
// allocation-free. Each slot carries a sequence number: a producer claims a position with a
// compare-and-swap on the write counter, stores the element and then releases the slot's
// sequence; the consumer acquires the sequence before reading. A full ring drops the
// newest element, like TransferRing. Used where the audio thread and host threads feed the
// same queue (parameter values for the editor).
template <typename T, int Capacity>
class MultiProducerRing {
public:
  static_assert(Capacity >= 1, "a ring needs at least one slot");
  static_assert(std::is_trivially_copyable_v<T>, "elements are copied byte for byte between threads");
  static constexpr int kCapacity = Capacity;

  MultiProducerRing() {
    for (uint64_t i = 0; i < static_cast<uint64_t>(Capacity); ++i) mSlots[i].mSequence.store(i, std::memory_order_relaxed);
  }

  // Any thread. Lock-free (a bounded retry on contention), allocates nothing.
  // False (and nothing stored) when the ring is full.
  bool Push(const T& element) {
    uint64_t pos = mWrite.load(std::memory_order_relaxed);
    for (;;) {
      Slot& slot = mSlots[pos % Capacity];
      const uint64_t sequence = slot.mSequence.load(std::memory_order_acquire);
      const int64_t lag = static_cast<int64_t>(sequence - pos);
      if (lag == 0) {
        if (mWrite.compare_exchange_weak(pos, pos + 1, std::memory_order_relaxed)) {
          slot.mElement = element;
          slot.mSequence.store(pos + 1, std::memory_order_release);
          return true;
        }
      } else if (lag < 0) {
        return false;  // the slot still holds an element the consumer has not taken: full
      } else {
        pos = mWrite.load(std::memory_order_relaxed);
      }
    }
  }

  // Consumer thread only. False when empty, or when the oldest element is still being
  // written by its producer (it is delivered by the next call).
  bool Pop(T& out) {
    const uint64_t pos = mRead.load(std::memory_order_relaxed);
    Slot& slot = mSlots[pos % Capacity];
    const uint64_t sequence = slot.mSequence.load(std::memory_order_acquire);
    if (sequence != pos + 1) return false;
    out = slot.mElement;
    slot.mSequence.store(pos + Capacity, std::memory_order_release);
    mRead.store(pos + 1, std::memory_order_relaxed);
    return true;
  }

  // Any thread; a snapshot of the claimed positions not yet consumed.
  int Count() const {
    const uint64_t read = mRead.load(std::memory_order_relaxed);
    const uint64_t write = mWrite.load(std::memory_order_relaxed);
    return write > read ? static_cast<int>(write - read) : 0;
  }

private:
  struct Slot {
    std::atomic<uint64_t> mSequence{0};
    T mElement{};
  };

  std::array<Slot, Capacity> mSlots;
  alignas(64) std::atomic<uint64_t> mWrite{0};
  alignas(64) std::atomic<uint64_t> mRead{0};
};

}  // namespace iplug
