#include "IPlug/GrowableBuffer.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace iplug {

GrowableBuffer::GrowableBuffer(int granularity) : mGranularity(granularity > 0 ? granularity : 1) {}

GrowableBuffer::GrowableBuffer(const GrowableBuffer& other) : mGranularity(other.mGranularity) {
  if (other.mSize > 0 && Resize(other.mSize) && mSize == other.mSize)
    std::memcpy(mData, other.mData, static_cast<size_t>(mSize));
}

GrowableBuffer& GrowableBuffer::operator=(const GrowableBuffer& other) {
  if (this != &other) {
    GrowableBuffer copy(other);
    *this = std::move(copy);
  }
  return *this;
}

GrowableBuffer::GrowableBuffer(GrowableBuffer&& other) noexcept
    : mData(std::exchange(other.mData, nullptr)),
      mAllocated(std::exchange(other.mAllocated, 0)),
      mSize(std::exchange(other.mSize, 0)),
      mGranularity(other.mGranularity) {}

GrowableBuffer& GrowableBuffer::operator=(GrowableBuffer&& other) noexcept {
  if (this != &other) {
    Release();
    mData = std::exchange(other.mData, nullptr);
    mAllocated = std::exchange(other.mAllocated, 0);
    mSize = std::exchange(other.mSize, 0);
    mGranularity = other.mGranularity;
  }
  return *this;
}

GrowableBuffer::~GrowableBuffer() { Release(); }

void GrowableBuffer::Release() {
  std::free(mData);
  mData = nullptr;
  mAllocated = 0;
  mSize = 0;
}

int64_t GrowableBuffer::AllocationFor(int64_t n, int granularity) {
  if (n <= 0) return 0;
  int64_t g = std::max<int64_t>(n / 2, granularity);
  int64_t alloc;
  if (granularity >= 4096) {
    // Page-sized growth leaves room for the allocator's own header (96 bytes).
    g &= ~int64_t{4095};
    g = std::clamp<int64_t>(g, 4096, 0x400000);
    alloc = ((n + 96 + g) & ~int64_t{4095}) - 96;
  } else {
    alloc = n + g;
  }
  return alloc > INT_MAX ? -1 : alloc;
}

void* GrowableBuffer::Resize(int newSize, bool allowShrink) {
  if (newSize < 0) newSize = 0;
  if (mSize == newSize && !(allowShrink && newSize < mAllocated / 2)) return mSize ? mData : nullptr;

  const int shrinkThreshold = std::max(1, std::min(mAllocated / 2, mAllocated - 4 * mGranularity));
  const bool grow = newSize > mAllocated;
  const bool shrink = allowShrink && newSize < mSize && newSize < shrinkThreshold;
  if (grow || shrink) {
    const int64_t alloc = AllocationFor(newSize, mGranularity);
    if (alloc < 0) return mSize ? mData : nullptr;  // too large to represent: keep the old block
    if (alloc == 0) {
      Release();
      return nullptr;
    }
    if (alloc != mAllocated) {
      void* p = std::realloc(mData, static_cast<size_t>(alloc));
      if (!p) return mSize ? mData : nullptr;
      mData = p;
      mAllocated = static_cast<int>(alloc);
    }
  }
  mSize = newSize;
  return mSize ? mData : nullptr;
}

}  // namespace iplug
