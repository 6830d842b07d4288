#pragma once
#include <cstdint>

namespace locktest {

// True when this test program counts lock calls: Linux without sanitizers, whose interceptors
// need the same symbols.
bool Available();

// Counts the pthread mutex and read-write lock acquisitions made by the calling thread while a
// scope is alive.
class LockScope {
public:
  LockScope();
  ~LockScope();
  int64_t Count() const;

private:
  int64_t mStart;
};

}  // namespace locktest
