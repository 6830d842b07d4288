// A monitor at 144 dpi: the editor opens at its unscaled pixel size (the opening scale is a
// whole number) and takes the scale 1.5 on its first tick. Wine reads the system DPI from its
// registry when a process starts, so the test sets it and runs its body in a child process
// that declares itself DPI-aware; the setting is restored afterwards.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/graphics/win/HostedEditor.h"

namespace tbtest {
namespace {

constexpr const char* kChildVariable = "TOLLENBROOK_DPI_CHILD";
constexpr int kChildSkips = 77;
constexpr DWORD kDpi = 144;

struct RegistryValue {
  HKEY root;
  const char* path;
};
const RegistryValue kLogPixels[] = {{HKEY_CURRENT_USER, "Control Panel\\Desktop"},
                                    {HKEY_CURRENT_CONFIG, "Software\\Fonts"}};

// Sets LogPixels for the life of the object and puts back what was there.
class SystemDpi {
public:
  explicit SystemDpi(DWORD dpi) {
    for (int i = 0; i < 2; ++i) {
      HKEY key = nullptr;
      if (RegCreateKeyExA(kLogPixels[i].root, kLogPixels[i].path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        continue;
      DWORD size = sizeof(mOld[i]);
      mHadOld[i] = RegQueryValueExA(key, "LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&mOld[i]), &size) ==
                   ERROR_SUCCESS;
      RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));
      RegCloseKey(key);
    }
  }
  ~SystemDpi() {
    for (int i = 0; i < 2; ++i) {
      HKEY key = nullptr;
      if (RegOpenKeyExA(kLogPixels[i].root, kLogPixels[i].path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) continue;
      if (mHadOld[i])
        RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&mOld[i]), sizeof(mOld[i]));
      else
        RegDeleteValueA(key, "LogPixels");
      RegCloseKey(key);
    }
  }

private:
  DWORD mOld[2] = {};
  bool mHadOld[2] = {};
};

// The child's body: a DPI-aware process on a 144 dpi system.
class EditorDpi : public HostedEditor {
protected:
  void SetUp() override {
    if (!std::getenv(kChildVariable)) GTEST_SKIP() << "runs in the child process of EditorDpiParent";
    using SetAwareness = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    auto set = reinterpret_cast<SetAwareness>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDpiAwarenessContext")));
    if (set) set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    HostedEditor::SetUp();
  }
};

TEST_F(EditorDpi, OpensUnscaledAndTakesTheMonitorScaleOnTheFirstTick) {
  if (GetDpiForWindow(HostHandle()) != kDpi) std::exit(kChildSkips);  // this system ignores the setting
  ASSERT_TRUE(OpenView());
  EXPECT_EQ(Win()->GetScreenScale(), 1.f) << "opened at the truncated scale";
  RECT client;
  GetClientRect(ChildWindow(), &client);
  EXPECT_EQ(client.right, 378);
  EXPECT_EQ(client.bottom, 591);
  mLog.Clear();
  for (int i = 0; i < 50 && Win()->TicksHandled() == 0; ++i) Pump(10);
  ASSERT_GT(Win()->TicksHandled(), 0);
  EXPECT_EQ(Win()->GetScreenScale(), 1.5f) << "the first tick takes the monitor's scale";
  GetClientRect(ChildWindow(), &client);
  EXPECT_EQ(client.right, 567);
  EXPECT_EQ(client.bottom, 886);
  EXPECT_EQ(mLog.Count("SetViewSize"), 1u) << "the host window grows with it";
  EXPECT_EQ(Win()->MainFrameBufferWidth(), 567);
}

TEST(EditorDpiParent, RunsTheEditorOnA144DpiSystem) {
  if (std::getenv(kChildVariable)) GTEST_SKIP() << "the child runs the body";
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string command = std::string("\"") + exe + "\" --gtest_filter=EditorDpi.*";
  SystemDpi dpi(kDpi);
  SetEnvironmentVariableA(kChildVariable, "1");
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  const BOOL started =
      CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
  SetEnvironmentVariableA(kChildVariable, nullptr);
  ASSERT_TRUE(started);
  WaitForSingleObject(process.hProcess, 120000);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (code == kChildSkips) GTEST_SKIP() << "this system does not report 144 dpi to a DPI-aware window";
  EXPECT_EQ(code, 0u) << "the child's checks failed (its output is above)";
}

}  // namespace
}  // namespace tbtest
