#pragma once
#include <atomic>
#include <cstdint>

namespace aaxhost {

// Host objects belong to the host and live as long as it does; their reference counts are
// kept only so tests can see that the module releases everything it took.
class RefCount {
public:
  uint32_t Add() { return static_cast<uint32_t>(mCount.fetch_add(1, std::memory_order_acq_rel) + 1); }
  uint32_t Drop() { return static_cast<uint32_t>(mCount.fetch_sub(1, std::memory_order_acq_rel) - 1); }
  int32_t Count() const { return mCount.load(std::memory_order_acquire); }

private:
  std::atomic<int32_t> mCount{0};
};

}  // namespace aaxhost

// AddRef and Release of a host object with a RefCount member named mRefs.
#define AAXHOST_REFCOUNTED()                                  \
  acfUInt32 AddRef() override { return mRefs.Add(); }         \
  acfUInt32 Release() override { return mRefs.Drop(); }       \
  int32_t References() const { return mRefs.Count(); }
