#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace wintest {

// A (hidden: no window manager runs here, and Wine waits for one when a shown window goes)
// top-level window of the test thread that owns menus and dialogs, with a hook for
// the idle notification the system sends while a menu or dialog runs its modal loop.
class TestWindow {
public:
  using IdleHook = std::function<void(HWND window, WPARAM kind, LPARAM source)>;

  TestWindow();
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND Handle() const { return mWindow; }
  // Called on every WM_ENTERIDLE until replaced.
  void SetIdleHook(IdleHook hook) { mIdleHook = std::move(hook); }

  static const wchar_t* ClassName() { return L"TollenbrookServicesTestWindow"; }

private:
  static LRESULT CALLBACK WndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND mWindow = nullptr;
  IdleHook mIdleHook;
};

// A thread that waits for a dialog of this process (class "#32770") to appear, lets a
// function look at it, and then posts it a command (IDOK, IDCANCEL, IDNO ...) to close it, as
// a user pressing that button. It gives up after a few seconds.
class DialogCloser {
public:
  using Inspect = std::function<void(HWND dialog)>;

  explicit DialogCloser(int command, Inspect inspect = {});
  ~DialogCloser();
  DialogCloser(const DialogCloser&) = delete;
  DialogCloser& operator=(const DialogCloser&) = delete;

  // Whether a dialog was found and the command posted to it.
  bool Closed();
  // The found dialog's title.
  std::wstring Title();

private:
  void Run(int command, const Inspect& inspect);

  std::atomic<bool> mClosed{false};
  std::wstring mTitle;
  std::thread mThread;
};

// The text of a window (or dialog item) as UTF-8.
std::string WindowText(HWND window);

}  // namespace wintest
