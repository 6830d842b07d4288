#include "graphics/win/VBlankThread.h"

namespace igraphics {

namespace {

// The kernel-mode display interface of gdi32, declared here as the system publishes it.
using D3DKMT_HANDLE = UINT;
struct D3DKMT_OPENADAPTERFROMHDC {
  HDC hDc;
  D3DKMT_HANDLE hAdapter;
  LUID AdapterLuid;
  UINT VidPnSourceId;
};
struct D3DKMT_WAITFORVERTICALBLANKEVENT {
  D3DKMT_HANDLE hAdapter;
  D3DKMT_HANDLE hDevice;
  UINT VidPnSourceId;
};
struct D3DKMT_CLOSEADAPTER {
  D3DKMT_HANDLE hAdapter;
};
using OpenAdapterProc = LONG(WINAPI*)(D3DKMT_OPENADAPTERFROMHDC*);
using WaitProc = LONG(WINAPI*)(const D3DKMT_WAITFORVERTICALBLANKEVENT*);
using CloseAdapterProc = LONG(WINAPI*)(const D3DKMT_CLOSEADAPTER*);

constexpr DWORD kSleepMs = 16;
constexpr DWORD kReopenDelayMs = 1000;
// A wait that returns at once is no wait: some systems export the function without a display
// behind it. After this many such returns in a row the thread paces itself by sleeping.
constexpr int kInstantWaitsToGiveUp = 8;
constexpr double kInstantWaitMs = 1.0;

double NowMs() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

template <typename T>
T LookUp(HMODULE module, const char* name) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

bool VBlankThread::SystemSupportsIt() {
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  info.dwMajorVersion = 6;
  info.dwMinorVersion = 2;
  DWORDLONG mask = 0;
  mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
  mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
  return VerifyVersionInfoW(&info, VER_MAJORVERSION | VER_MINORVERSION, mask) != FALSE;
}

bool VBlankThread::Start(HWND window) {
  Stop();
  mWindow.store(window, std::memory_order_release);
  mStop.store(false, std::memory_order_release);
  mThread = CreateThread(nullptr, 0, &VBlankThread::ThreadMain, this, 0, nullptr);
  if (!mThread) mThread = INVALID_HANDLE_VALUE;
  return Running();
}

void VBlankThread::Stop() {
  if (!Running()) return;
  mStop.store(true, std::memory_order_release);
  WaitForSingleObject(mThread, kStopTimeoutMs);
  CloseHandle(mThread);
  mThread = INVALID_HANDLE_VALUE;
}

DWORD WINAPI VBlankThread::ThreadMain(LPVOID self) {
  static_cast<VBlankThread*>(self)->Run();
  return 0;
}

void VBlankThread::Tick() {
  const int n = mCounter.fetch_add(1, std::memory_order_acq_rel) + 1;
  PostMessageA(mWindow.load(std::memory_order_acquire), kMessage, static_cast<WPARAM>(n), 0);
}

void VBlankThread::Run() {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  HMODULE gdi32 = LoadLibraryA("gdi32.dll");
  const auto open = gdi32 ? LookUp<OpenAdapterProc>(gdi32, "D3DKMTOpenAdapterFromHdc") : nullptr;
  const auto close = gdi32 ? LookUp<CloseAdapterProc>(gdi32, "D3DKMTCloseAdapter") : nullptr;
  const auto wait = gdi32 ? LookUp<WaitProc>(gdi32, "D3DKMTWaitForVerticalBlankEvent") : nullptr;
  mHasDisplayWait.store(open && close && wait, std::memory_order_release);

  if (open && close && wait) {
    bool adapterOpen = false;
    DWORD lastFailure = 0;
    bool failedBefore = false;
    D3DKMT_WAITFORVERTICALBLANKEVENT waitArgs{};
    int instantWaits = 0;
    while (!mStop.load(std::memory_order_acquire) && instantWaits < kInstantWaitsToGiveUp) {
      if (!adapterOpen) {
        if (failedBefore && GetTickCount() - lastFailure < kReopenDelayMs) {
          Sleep(kSleepMs);
        } else {
          HWND window = mWindow.load(std::memory_order_acquire);
          HDC dc = GetDC(window);
          D3DKMT_OPENADAPTERFROMHDC openArgs{};
          openArgs.hDc = dc;
          if (dc && open(&openArgs) == 0) {
            waitArgs = D3DKMT_WAITFORVERTICALBLANKEVENT{openArgs.hAdapter, 0, openArgs.VidPnSourceId};
            adapterOpen = true;
            ReleaseDC(window, dc);
          } else {
            lastFailure = GetTickCount();
            failedBefore = true;
            if (dc) ReleaseDC(window, dc);
            Sleep(kSleepMs);
          }
        }
      } else {
        const double before = NowMs();
        if (wait(&waitArgs) != 0) {
          const D3DKMT_CLOSEADAPTER closeArgs{waitArgs.hAdapter};
          close(&closeArgs);
          adapterOpen = false;
          Sleep(kSleepMs);
        } else {
          instantWaits = NowMs() - before < kInstantWaitMs ? instantWaits + 1 : 0;
        }
      }
      Tick();
    }
    if (adapterOpen) {
      const D3DKMT_CLOSEADAPTER closeArgs{waitArgs.hAdapter};
      close(&closeArgs);
    }
    if (instantWaits >= kInstantWaitsToGiveUp) mHasDisplayWait.store(false, std::memory_order_release);
  }
  // Without the display wait (or after giving up on it): paced by sleeping.
  while (!mStop.load(std::memory_order_acquire)) {
    Sleep(kSleepMs);
    Tick();
  }
  if (gdi32) FreeLibrary(gdi32);
}

}  // namespace igraphics
