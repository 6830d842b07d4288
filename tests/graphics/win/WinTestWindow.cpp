#include "graphics/win/WinTestWindow.h"

#include <chrono>
#include <vector>

#include "graphics/Utf16Text.h"

namespace wintest {

TestWindow::TestWindow() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &TestWindow::WndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = ClassName();
  RegisterClassW(&wc);  // fails harmlessly when an earlier test registered it
  mWindow = CreateWindowExW(0, ClassName(), L"Services test host", WS_OVERLAPPEDWINDOW, 40, 40, 400,
                            300, nullptr, nullptr, wc.hInstance, this);
}

TestWindow::~TestWindow() {
  if (mWindow) DestroyWindow(mWindow);
}

LRESULT CALLBACK TestWindow::WndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (msg == WM_ENTERIDLE && self && self->mIdleHook) self->mIdleHook(window, wParam, lParam);
  return DefWindowProcW(window, msg, wParam, lParam);
}

namespace {

BOOL CALLBACK CollectDialog(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t cls[64] = {};
  GetClassNameW(window, cls, 64);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) && std::wstring(cls) == L"#32770") {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

DialogCloser::DialogCloser(int command, Inspect inspect)
    : mThread([this, command, inspect = std::move(inspect)] { Run(command, inspect); }) {}

DialogCloser::~DialogCloser() {
  if (mThread.joinable()) mThread.join();
}

void DialogCloser::Run(int command, const Inspect& inspect) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  HWND dialog = nullptr;
  while (!dialog && std::chrono::steady_clock::now() < giveUp) {
    Sleep(20);
    EnumWindows(&CollectDialog, reinterpret_cast<LPARAM>(&dialog));
  }
  if (!dialog) return;
  Sleep(100);  // let the dialog finish its initialisation before it is read
  wchar_t title[256] = {};
  GetWindowTextW(dialog, title, 256);
  mTitle = title;
  if (inspect) inspect(dialog);
  mClosed = PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0) != FALSE;
}

bool DialogCloser::Closed() {
  if (mThread.joinable()) mThread.join();
  return mClosed;
}

std::wstring DialogCloser::Title() {
  if (mThread.joinable()) mThread.join();
  return mTitle;
}

std::string WindowText(HWND window) {
  const int n = GetWindowTextLengthW(window);
  std::vector<wchar_t> text(static_cast<size_t>(n) + 1);
  GetWindowTextW(window, text.data(), n + 1);
  return igraphics::ToUtf8(text.data());
}

}  // namespace wintest
