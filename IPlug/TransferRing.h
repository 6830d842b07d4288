#pragma once
#include <array>
#include <atomic>
#include <type_traits>

namespace iplug {

// Fixed-size single-producer, single-consumer ring of N slots holding at most N - 1
// elements. The producer owns the write index and the consumer the read index; each
// publishes its index with release after touching the element, and reads the other's with
// acquire, so the element is complete when it becomes visible. A full ring drops the
// newest element. Never allocates after construction; no locks.
template <typename T, int N>
class TransferRing {
public:
  static_assert(N >= 2, "a ring needs at least one usable slot");
  static_assert(std::is_trivially_copyable_v<T>, "elements are copied byte for byte between threads");
  static constexpr int kCapacity = N - 1;

  // Producer thread only. False (and nothing stored) when the ring is full.
  bool Push(const T& element) {
    const int write = mWrite.load(std::memory_order_relaxed);
    const int next = (write + 1) % N;
    if (next == mRead.load(std::memory_order_acquire)) return false;
    mElements[static_cast<size_t>(write)] = element;
    mWrite.store(next, std::memory_order_release);
    return true;
  }

  // Consumer thread only. False when the ring is empty.
  bool Pop(T& out) {
    const int read = mRead.load(std::memory_order_relaxed);
    if (read == mWrite.load(std::memory_order_acquire)) return false;
    out = mElements[static_cast<size_t>(read)];
    mRead.store((read + 1) % N, std::memory_order_release);
    return true;
  }

  // Any thread; exact on the consumer's thread, a snapshot elsewhere.
  int Count() const {
    const int write = mWrite.load(std::memory_order_acquire);
    const int read = mRead.load(std::memory_order_acquire);
    return write >= read ? write - read : write + N - read;
  }

private:
  std::array<T, N> mElements{};
  alignas(64) std::atomic<int> mWrite{0};
  alignas(64) std::atomic<int> mRead{0};
};

}  // namespace iplug
