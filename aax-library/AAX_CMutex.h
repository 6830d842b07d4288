#pragma once
#include <atomic>
#include <cstdint>
#if !defined(_WIN32)
#include <mutex>
#endif

// A system mutex that remembers its owning thread. Lock by the owner takes nothing and
// returns false, so nested guards on one thread neither deadlock nor release early. On Windows
// it is a Win32 mutex object (CreateMutexA); elsewhere a std::mutex with the same owner rules.
// If the system object cannot be created the lock is absent and every operation does nothing.
class AAX_CMutex {
public:
  AAX_CMutex();
  ~AAX_CMutex();
  AAX_CMutex(const AAX_CMutex&) = delete;
  AAX_CMutex& operator=(const AAX_CMutex&) = delete;

  // Any thread; blocks. True when this call took the mutex.
  bool Lock();
  // Any thread; never blocks. True when the caller owns the mutex afterwards.
  bool Try_Lock();
  // Releases the mutex only when the calling thread owns it.
  void Unlock();

  bool IsValid() const;
  bool IsOwnedByCurrentThread() const;

private:
  std::atomic<uint64_t> mOwner{0};  // 0: no owner
#if defined(_WIN32)
  void* mHandle = nullptr;          // HANDLE, kept opaque so <windows.h> stays out of here
#else
  std::mutex mMutex;
#endif
};

// Unlocks on scope exit only what it took.
class AAX_StLock_Guard {
public:
  explicit AAX_StLock_Guard(AAX_CMutex& mutex) : mMutex(mutex), mTaken(mutex.Lock()) {}
  ~AAX_StLock_Guard() {
    if (mTaken) mMutex.Unlock();
  }
  AAX_StLock_Guard(const AAX_StLock_Guard&) = delete;
  AAX_StLock_Guard& operator=(const AAX_StLock_Guard&) = delete;
  bool Taken() const { return mTaken; }

private:
  AAX_CMutex& mMutex;
  bool mTaken;
};
