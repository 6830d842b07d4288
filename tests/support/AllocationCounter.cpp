#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {
thread_local int64_t tAllocations = 0;

void* CountedAlloc(std::size_t size) {
  ++tAllocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void* CountedAlignedAlloc(std::size_t size, std::align_val_t align) {
  ++tAllocations;
  std::size_t a = static_cast<std::size_t>(align);
  if (a < sizeof(void*)) a = sizeof(void*);
  // Over-allocate and keep the original pointer just before the aligned block,
  // which works on every C library (mingw has no aligned_alloc).
  void* raw = std::malloc(size + a + sizeof(void*));
  if (!raw) throw std::bad_alloc();
  auto base = reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*);
  auto aligned = (base + a - 1) & ~(static_cast<std::uintptr_t>(a) - 1);
  reinterpret_cast<void**>(aligned)[-1] = raw;
  return reinterpret_cast<void*>(aligned);
}

void AlignedFree(void* p) {
  if (p) std::free(reinterpret_cast<void**>(p)[-1]);
}
}  // namespace

namespace testsupport {
int64_t ThreadAllocationCount() { return tAllocations; }
}  // namespace testsupport

void* operator new(std::size_t size) { return CountedAlloc(size); }
void* operator new[](std::size_t size) { return CountedAlloc(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try { return CountedAlloc(size); } catch (...) { return nullptr; }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  try { return CountedAlloc(size); } catch (...) { return nullptr; }
}
void* operator new(std::size_t size, std::align_val_t a) { return CountedAlignedAlloc(size, a); }
void* operator new[](std::size_t size, std::align_val_t a) { return CountedAlignedAlloc(size, a); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { AlignedFree(p); }
void operator delete[](void* p, std::align_val_t) noexcept { AlignedFree(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { AlignedFree(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { AlignedFree(p); }
