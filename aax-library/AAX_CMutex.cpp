#include "aax-library/AAX_CMutex.h"

#if defined(_WIN32)
#include <windows.h>

namespace {
uint64_t CurrentThreadId() { return GetCurrentThreadId(); }
}  // namespace

AAX_CMutex::AAX_CMutex() : mHandle(CreateMutexA(nullptr, FALSE, nullptr)) {}

AAX_CMutex::~AAX_CMutex() {
  if (mHandle) CloseHandle(static_cast<HANDLE>(mHandle));
}

bool AAX_CMutex::IsValid() const { return mHandle != nullptr; }

bool AAX_CMutex::Lock() {
  if (!mHandle || IsOwnedByCurrentThread()) return false;
  const DWORD wait = WaitForSingleObject(static_cast<HANDLE>(mHandle), INFINITE);
  if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return false;
  mOwner.store(CurrentThreadId(), std::memory_order_release);
  return true;
}

bool AAX_CMutex::Try_Lock() {
  if (!mHandle) return false;
  if (IsOwnedByCurrentThread()) return true;
  const DWORD wait = WaitForSingleObject(static_cast<HANDLE>(mHandle), 0);
  if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return false;
  mOwner.store(CurrentThreadId(), std::memory_order_release);
  return true;
}

void AAX_CMutex::Unlock() {
  if (!mHandle || !IsOwnedByCurrentThread()) return;
  mOwner.store(0, std::memory_order_release);
  ReleaseMutex(static_cast<HANDLE>(mHandle));
}

#else

namespace {
std::atomic<uint64_t> gNextThreadId{1};
// A process-unique, never-zero number per thread.
uint64_t CurrentThreadId() {
  thread_local const uint64_t id = gNextThreadId.fetch_add(1, std::memory_order_relaxed);
  return id;
}
}  // namespace

AAX_CMutex::AAX_CMutex() = default;
AAX_CMutex::~AAX_CMutex() = default;

bool AAX_CMutex::IsValid() const { return true; }

bool AAX_CMutex::Lock() {
  if (IsOwnedByCurrentThread()) return false;
  mMutex.lock();
  mOwner.store(CurrentThreadId(), std::memory_order_release);
  return true;
}

bool AAX_CMutex::Try_Lock() {
  if (IsOwnedByCurrentThread()) return true;
  if (!mMutex.try_lock()) return false;
  mOwner.store(CurrentThreadId(), std::memory_order_release);
  return true;
}

void AAX_CMutex::Unlock() {
  if (!IsOwnedByCurrentThread()) return;
  mOwner.store(0, std::memory_order_release);
  mMutex.unlock();
}

#endif

bool AAX_CMutex::IsOwnedByCurrentThread() const {
  return mOwner.load(std::memory_order_acquire) == CurrentThreadId();
}
