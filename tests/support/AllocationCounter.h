#pragma once
#include <cstdint>

namespace testsupport {

// Every test program replaces the global allocation functions with counting versions,
// so a test can prove that a piece of code allocates nothing on the calling thread.
int64_t ThreadAllocationCount();

// Counts the heap allocations made by the current thread during its lifetime.
class AllocationScope {
public:
  AllocationScope() : mStart(ThreadAllocationCount()) {}
  int64_t Count() const { return ThreadAllocationCount() - mStart; }

private:
  int64_t mStart;
};

}  // namespace testsupport
