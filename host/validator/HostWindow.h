#pragma once

namespace tbvalidate {

// The window a host gives an editor to live in: a hidden top-level window on Windows, none
// elsewhere (the editor draws off-screen there).
// Main thread.
class HostWindow {
public:
  HostWindow();
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  void* NativeHandle() const { return mHandle; }
  // Dispatches the messages waiting for the window's thread.
  void PumpMessages();

private:
  void* mHandle = nullptr;
};

}  // namespace tbvalidate
