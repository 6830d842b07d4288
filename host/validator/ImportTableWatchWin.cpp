// The audio-thread watch on Windows: the module links its C++ run-time and thread library in,
// so every allocation and every lock it makes ends in a call it imports from the system
// (malloc and its family from the C run-time, heap, critical-section, slim-lock and wait
// functions from kernel32). Its import table is pointed at counting functions that then call
// the system's. An uncontended winpthread mutex is an atomic exchange inside the module and
// is not seen; a contended one waits through the system and is.
#include <windows.h>

#include <atomic>
#include <cstring>

#include "host/validator/AudioThreadWatch.h"

namespace tbvalidate {
namespace {

std::atomic<DWORD> sWatchedThread{0};
std::atomic<int64_t> sAllocations{0};
std::atomic<int64_t> sLocks{0};

inline bool Watched() {
  const DWORD watched = sWatchedThread.load(std::memory_order_relaxed);
  return watched != 0 && watched == GetCurrentThreadId();
}
inline void NoteAllocation() {
  if (Watched()) sAllocations.fetch_add(1, std::memory_order_relaxed);
}
inline void NoteLock() {
  if (Watched()) sLocks.fetch_add(1, std::memory_order_relaxed);
}

// One hook: the original function's type and address, and a counting function of the same
// signature that calls it.
#define TB_HOOK(note, ret, conv, name, params, args)   \
  using name##Fn = ret(conv*) params;                   \
  name##Fn sReal_##name = nullptr;                      \
  ret conv Hook_##name params {                         \
    note();                                             \
    return sReal_##name args;                           \
  }

TB_HOOK(NoteAllocation, void*, __cdecl, malloc, (size_t n), (n))
TB_HOOK(NoteAllocation, void*, __cdecl, calloc, (size_t n, size_t size), (n, size))
TB_HOOK(NoteAllocation, void*, __cdecl, realloc, (void* p, size_t n), (p, n))
TB_HOOK(NoteAllocation, void*, __cdecl, _aligned_malloc, (size_t n, size_t a), (n, a))
TB_HOOK(NoteAllocation, void*, __cdecl, _aligned_realloc, (void* p, size_t n, size_t a), (p, n, a))
TB_HOOK(NoteAllocation, char*, __cdecl, _strdup, (const char* s), (s))
TB_HOOK(NoteAllocation, LPVOID, WINAPI, HeapAlloc, (HANDLE h, DWORD f, SIZE_T n), (h, f, n))
TB_HOOK(NoteAllocation, LPVOID, WINAPI, HeapReAlloc, (HANDLE h, DWORD f, LPVOID p, SIZE_T n), (h, f, p, n))
TB_HOOK(NoteAllocation, HLOCAL, WINAPI, LocalAlloc, (UINT f, SIZE_T n), (f, n))
TB_HOOK(NoteAllocation, HGLOBAL, WINAPI, GlobalAlloc, (UINT f, SIZE_T n), (f, n))
TB_HOOK(NoteAllocation, LPVOID, WINAPI, VirtualAlloc, (LPVOID p, SIZE_T n, DWORD t, DWORD pr), (p, n, t, pr))
TB_HOOK(NoteLock, void, WINAPI, EnterCriticalSection, (LPCRITICAL_SECTION c), (c))
TB_HOOK(NoteLock, BOOL, WINAPI, TryEnterCriticalSection, (LPCRITICAL_SECTION c), (c))
TB_HOOK(NoteLock, void, WINAPI, AcquireSRWLockExclusive, (PSRWLOCK l), (l))
TB_HOOK(NoteLock, void, WINAPI, AcquireSRWLockShared, (PSRWLOCK l), (l))
TB_HOOK(NoteLock, BOOLEAN, WINAPI, TryAcquireSRWLockExclusive, (PSRWLOCK l), (l))
TB_HOOK(NoteLock, BOOLEAN, WINAPI, TryAcquireSRWLockShared, (PSRWLOCK l), (l))
TB_HOOK(NoteLock, DWORD, WINAPI, WaitForSingleObject, (HANDLE h, DWORD ms), (h, ms))
TB_HOOK(NoteLock, DWORD, WINAPI, WaitForSingleObjectEx, (HANDLE h, DWORD ms, BOOL a), (h, ms, a))
TB_HOOK(NoteLock, DWORD, WINAPI, WaitForMultipleObjects, (DWORD n, const HANDLE* h, BOOL all, DWORD ms),
        (n, h, all, ms))
TB_HOOK(NoteLock, DWORD, WINAPI, WaitForMultipleObjectsEx, (DWORD n, const HANDLE* h, BOOL all, DWORD ms, BOOL a),
        (n, h, all, ms, a))
TB_HOOK(NoteLock, BOOL, WINAPI, SleepConditionVariableCS, (PCONDITION_VARIABLE v, PCRITICAL_SECTION c, DWORD ms),
        (v, c, ms))
TB_HOOK(NoteLock, BOOL, WINAPI, SleepConditionVariableSRW, (PCONDITION_VARIABLE v, PSRWLOCK l, DWORD ms, ULONG f),
        (v, l, ms, f))
TB_HOOK(NoteLock, void, WINAPI, Sleep, (DWORD ms), (ms))
#undef TB_HOOK

struct Hook {
  const char* name;
  void* hook;
  void** real;
};

#define TB_ENTRY(name) {#name, reinterpret_cast<void*>(&Hook_##name), reinterpret_cast<void**>(&sReal_##name)}
const Hook kHooks[] = {
    TB_ENTRY(malloc), TB_ENTRY(calloc), TB_ENTRY(realloc), TB_ENTRY(_aligned_malloc), TB_ENTRY(_aligned_realloc),
    TB_ENTRY(_strdup), TB_ENTRY(HeapAlloc), TB_ENTRY(HeapReAlloc), TB_ENTRY(LocalAlloc), TB_ENTRY(GlobalAlloc),
    TB_ENTRY(VirtualAlloc), TB_ENTRY(EnterCriticalSection), TB_ENTRY(TryEnterCriticalSection),
    TB_ENTRY(AcquireSRWLockExclusive), TB_ENTRY(AcquireSRWLockShared), TB_ENTRY(TryAcquireSRWLockExclusive),
    TB_ENTRY(TryAcquireSRWLockShared), TB_ENTRY(WaitForSingleObject), TB_ENTRY(WaitForSingleObjectEx),
    TB_ENTRY(WaitForMultipleObjects), TB_ENTRY(WaitForMultipleObjectsEx), TB_ENTRY(SleepConditionVariableCS),
    TB_ENTRY(SleepConditionVariableSRW), TB_ENTRY(Sleep)};
#undef TB_ENTRY

const Hook* FindHook(const char* name) {
  for (const Hook& hook : kHooks)
    if (std::strcmp(hook.name, name) == 0) return &hook;
  return nullptr;
}

// Points every import of the module that has a hook at the hook; returns how many.
int PatchImports(HMODULE module) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return 0;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (dir.VirtualAddress == 0) return 0;
  int patched = 0;
  for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); desc->Name != 0; ++desc) {
    if (desc->OriginalFirstThunk == 0) continue;  // no names to go by
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      const Hook* hook = FindHook(reinterpret_cast<const char*>(byName->Name));
      if (!hook) continue;
      void** slot = reinterpret_cast<void**>(&slots->u1.Function);
      if (*slot == hook->hook) continue;
      DWORD protection = 0;
      if (!VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &protection)) continue;
      *hook->real = *slot;
      *slot = hook->hook;
      VirtualProtect(slot, sizeof(void*), protection, &protection);
      ++patched;
    }
  }
  return patched;
}

class ImportTableWatch final : public AudioThreadWatch {
public:
  bool Attach(void* moduleHandle, std::string& error) override {
    if (!moduleHandle) {
      error = "no module to watch";
      return false;
    }
    mPatched = PatchImports(static_cast<HMODULE>(moduleHandle));
    if (mPatched == 0) {
      error = "the module imports none of the allocation or lock functions that the watch hooks";
      return false;
    }
    return true;
  }
  std::string Coverage() const override {
    return std::to_string(mPatched) +
           " of the module's imports (C run-time and heap allocation; critical sections, slim locks, "
           "waits, sleeps)";
  }
  bool SeesAllocations() const override { return mPatched > 0; }
  bool SeesLocks() const override { return mPatched > 0; }
  void Begin() override {
    mStart = {sAllocations.load(), sLocks.load()};
    sWatchedThread.store(GetCurrentThreadId(), std::memory_order_relaxed);
  }
  AudioThreadUse End() override {
    sWatchedThread.store(0, std::memory_order_relaxed);
    return {sAllocations.load() - mStart.allocations, sLocks.load() - mStart.locks};
  }

private:
  int mPatched = 0;
  AudioThreadUse mStart;
};

}  // namespace

AudioThreadWatch* PlatformAudioThreadWatch() {
  static ImportTableWatch watch;
  return &watch;
}

}  // namespace tbvalidate
