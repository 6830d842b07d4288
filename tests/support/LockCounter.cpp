#include "LockCounter.h"

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define TB_COUNT_LOCKS 1
#else
#define TB_COUNT_LOCKS 0
#endif

#if TB_COUNT_LOCKS
#include <dlfcn.h>
#include <pthread.h>
#endif

namespace {
thread_local int64_t tLocks = 0;
thread_local int tWatching = 0;
}  // namespace

namespace locktest {
bool Available() { return TB_COUNT_LOCKS != 0; }
LockScope::LockScope() : mStart(tLocks) { ++tWatching; }
LockScope::~LockScope() { --tWatching; }
int64_t LockScope::Count() const { return tLocks - mStart; }
}  // namespace locktest

#if TB_COUNT_LOCKS
// The test program's own definitions come before the C library's in symbol lookup, so every
// lock taken anywhere in the process passes through here and on to the real function.
namespace {
template <class F>
F Real(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
void Note() {
  if (tWatching > 0) ++tLocks;
}
}  // namespace

extern "C" {
int pthread_mutex_lock(pthread_mutex_t* m) {
  static const auto real = Real<int (*)(pthread_mutex_t*)>("pthread_mutex_lock");
  Note();
  return real(m);
}
int pthread_mutex_trylock(pthread_mutex_t* m) {
  static const auto real = Real<int (*)(pthread_mutex_t*)>("pthread_mutex_trylock");
  Note();
  return real(m);
}
int pthread_rwlock_rdlock(pthread_rwlock_t* l) {
  static const auto real = Real<int (*)(pthread_rwlock_t*)>("pthread_rwlock_rdlock");
  Note();
  return real(l);
}
int pthread_rwlock_wrlock(pthread_rwlock_t* l) {
  static const auto real = Real<int (*)(pthread_rwlock_t*)>("pthread_rwlock_wrlock");
  Note();
  return real(l);
}
int pthread_rwlock_tryrdlock(pthread_rwlock_t* l) {
  static const auto real = Real<int (*)(pthread_rwlock_t*)>("pthread_rwlock_tryrdlock");
  Note();
  return real(l);
}
int pthread_rwlock_trywrlock(pthread_rwlock_t* l) {
  static const auto real = Real<int (*)(pthread_rwlock_t*)>("pthread_rwlock_trywrlock");
  Note();
  return real(l);
}
}
#endif
