// The audio-thread watch of tollenbrook-host on Linux. The program defines the allocation and
// lock functions itself; the dynamic linker looks in the program before the C library, so
// every call in the process, the module's and its C++ run-time's included, passes through
// here on its way to the real function, and is counted while its thread is watched.
//
// Linked into the program only: a test program defines operator new itself. In a sanitizer
// build the sanitizer owns malloc and the lock functions, and only operator new is counted.
#include <dlfcn.h>
#include <pthread.h>
#include <semaphore.h>

#include <cstdint>
#include <cstdlib>
#include <new>

#include "host/validator/AudioThreadWatch.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TB_HOOK_LIBC 0
#else
#define TB_HOOK_LIBC 1
#endif

namespace {

thread_local bool tWatched = false;
thread_local int64_t tAllocations = 0;
thread_local int64_t tLocks = 0;

inline void NoteAllocation() {
  if (tWatched) ++tAllocations;
}
inline void NoteLock() {
  if (tWatched) ++tLocks;
}

void* Allocate(std::size_t size) {
  NoteAllocation();
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t align) {
  NoteAllocation();
  const std::size_t a = static_cast<std::size_t>(align) < sizeof(void*) ? sizeof(void*) : static_cast<std::size_t>(align);
  void* p = nullptr;
  if (posix_memalign(&p, a, size ? size : 1) != 0) throw std::bad_alloc();
  return p;
}

class ProcessHooks final : public tbvalidate::AudioThreadWatch {
public:
  bool Attach(void*, std::string&) override { return true; }
  std::string Coverage() const override {
    // A condition wait needs its mutex locked first, which is counted.
    return TB_HOOK_LIBC ? "operator new and the malloc family; pthread mutex, read-write and spin locks, semaphore "
                          "waits"
                        : "operator new only (this sanitizer build keeps malloc and the lock functions for itself)";
  }
  bool SeesAllocations() const override { return true; }
  bool SeesLocks() const override { return TB_HOOK_LIBC != 0; }
  void Begin() override {
    mStart = {tAllocations, tLocks};
    tWatched = true;
  }
  tbvalidate::AudioThreadUse End() override {
    tWatched = false;
    return {tAllocations - mStart.allocations, tLocks - mStart.locks};
  }

private:
  tbvalidate::AudioThreadUse mStart;
};

ProcessHooks sHooks;
const bool sInstalled = (tbvalidate::InstallAudioThreadWatch(&sHooks), true);

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try { return Allocate(size); } catch (...) { return nullptr; }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  try { return Allocate(size); } catch (...) { return nullptr; }
}
void* operator new(std::size_t size, std::align_val_t a) { return AllocateAligned(size, a); }
void* operator new[](std::size_t size, std::align_val_t a) { return AllocateAligned(size, a); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

#if TB_HOOK_LIBC
extern "C" {
// The C library's own allocator behind its public names.
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void* __libc_valloc(size_t);
void* __libc_pvalloc(size_t);

void* malloc(size_t n) {
  NoteAllocation();
  return __libc_malloc(n);
}
void* calloc(size_t n, size_t size) {
  NoteAllocation();
  return __libc_calloc(n, size);
}
void* realloc(void* p, size_t n) {
  NoteAllocation();
  return __libc_realloc(p, n);
}
void* memalign(size_t a, size_t n) {
  NoteAllocation();
  return __libc_memalign(a, n);
}
void* aligned_alloc(size_t a, size_t n) {
  NoteAllocation();
  return __libc_memalign(a, n);
}
int posix_memalign(void** out, size_t a, size_t n) {
  NoteAllocation();
  if (a < sizeof(void*) || (a & (a - 1)) != 0) return 22;  // EINVAL
  void* p = __libc_memalign(a, n);
  if (!p) return 12;  // ENOMEM
  *out = p;
  return 0;
}
void* valloc(size_t n) {
  NoteAllocation();
  return __libc_valloc(n);
}
void* pvalloc(size_t n) {
  NoteAllocation();
  return __libc_pvalloc(n);
}
}  // extern "C"

namespace {
template <class F>
F Real(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
}  // namespace

// Each lock function counts, then calls the C library's.
#define TB_LOCK_HOOK(name, params, args)                               \
  int name params {                                                    \
    static const auto real = Real<int(*) params>(#name);               \
    NoteLock();                                                        \
    return real args;                                                  \
  }

extern "C" {
TB_LOCK_HOOK(pthread_mutex_lock, (pthread_mutex_t* m), (m))
TB_LOCK_HOOK(pthread_mutex_trylock, (pthread_mutex_t* m), (m))
TB_LOCK_HOOK(pthread_mutex_timedlock, (pthread_mutex_t* m, const struct timespec* t), (m, t))
TB_LOCK_HOOK(pthread_rwlock_rdlock, (pthread_rwlock_t* l), (l))
TB_LOCK_HOOK(pthread_rwlock_wrlock, (pthread_rwlock_t* l), (l))
TB_LOCK_HOOK(pthread_rwlock_tryrdlock, (pthread_rwlock_t* l), (l))
TB_LOCK_HOOK(pthread_rwlock_trywrlock, (pthread_rwlock_t* l), (l))
TB_LOCK_HOOK(pthread_spin_lock, (pthread_spinlock_t* l), (l))
TB_LOCK_HOOK(pthread_spin_trylock, (pthread_spinlock_t* l), (l))
TB_LOCK_HOOK(sem_wait, (sem_t* s), (s))
TB_LOCK_HOOK(sem_trywait, (sem_t* s), (s))
TB_LOCK_HOOK(sem_timedwait, (sem_t* s, const struct timespec* t), (s, t))
}  // extern "C"
#undef TB_LOCK_HOOK
#endif
