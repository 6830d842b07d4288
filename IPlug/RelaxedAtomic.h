#pragma once
#include <atomic>

namespace iplug {

// A value that one thread writes and another reads, where only the value itself matters
// (no other memory is published through it): relaxed loads and stores, which compile to
// plain moves on x86 but are not a data race. Reads and writes look like a plain variable.
template <typename T>
class RelaxedAtomic {
public:
  static_assert(std::atomic<T>::is_always_lock_free, "the audio thread must never take a lock");

  constexpr RelaxedAtomic(T value = T{}) noexcept : mValue(value) {}
  RelaxedAtomic(const RelaxedAtomic&) = delete;
  RelaxedAtomic& operator=(const RelaxedAtomic&) = delete;

  T Load() const noexcept { return mValue.load(std::memory_order_relaxed); }
  void Store(T value) noexcept { mValue.store(value, std::memory_order_relaxed); }
  operator T() const noexcept { return Load(); }
  RelaxedAtomic& operator=(T value) noexcept {
    Store(value);
    return *this;
  }

private:
  std::atomic<T> mValue;
};

}  // namespace iplug
