#pragma once
#include <cstdint>

namespace iplug {

// The framework's heap block: data pointer, allocated size, used size and granularity.
// Underlies text, byte chunks and lists. Growth is geometric so appends are amortised O(1).
// Not thread-safe; resizing allocates, so it never happens on the audio thread.
class GrowableBuffer {
public:
  static constexpr int kChunkGranularity = 4096;
  static constexpr int kTextGranularity = 128;

  explicit GrowableBuffer(int granularity = kChunkGranularity);
  GrowableBuffer(const GrowableBuffer& other);
  GrowableBuffer& operator=(const GrowableBuffer& other);
  GrowableBuffer(GrowableBuffer&& other) noexcept;
  GrowableBuffer& operator=(GrowableBuffer&& other) noexcept;
  ~GrowableBuffer();

  // Sets the used size to newSize, reallocating by the growth rule when needed.
  // Returns the data pointer (null for an empty buffer). When memory cannot be had the
  // buffer keeps its old size and contents and the old pointer is returned.
  void* Resize(int newSize, bool allowShrink = true);

  void* Data() const { return mData; }
  int Size() const { return mSize; }
  int Allocated() const { return mAllocated; }
  int Granularity() const { return mGranularity; }

  // The allocation that the growth rule chooses for a used size of n (0 frees the block);
  // -1 when the size cannot be represented.
  static int64_t AllocationFor(int64_t n, int granularity);

private:
  void Release();

  void* mData = nullptr;
  int mAllocated = 0;
  int mSize = 0;
  int mGranularity;
};

}  // namespace iplug
