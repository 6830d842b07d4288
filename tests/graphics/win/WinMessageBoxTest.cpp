#include <gtest/gtest.h>

#include "graphics/win/WinMessageBox.h"
#include "graphics/win/WinShell.h"
#include "graphics/win/WinTestWindow.h"
#include "graphics/win/WinTopLevelWindow.h"

using namespace igraphics;

namespace {

// The static text of a message box (its item 0xFFFF).
std::string BoxText(HWND box) { return wintest::WindowText(GetDlgItem(box, 0xFFFF)); }

}  // namespace

TEST(WinMessageBox, ShowsUtf8TextAndReturnsThePressedButtonAfterCompleting) {
  wintest::TestWindow window;
  std::string text;
  HWND owner = nullptr;
  wintest::DialogCloser user(IDNO, [&](HWND box) {
    text = BoxText(box);
    owner = GetWindow(box, GW_OWNER);
  });
  int reported = 0;
  const int button = WinShowMessageBox(window.Handle(), "Überschreiben?", "Tollenbrook ½", MB_YESNO,
                                       [&](int b) { reported = b; });
  ASSERT_TRUE(user.Closed());
  EXPECT_EQ(button, IDNO);
  EXPECT_EQ(reported, IDNO);
  EXPECT_EQ(user.Title(), L"Tollenbrook ½");
  EXPECT_EQ(text, "Überschreiben?");
  EXPECT_EQ(owner, window.Handle());
}

TEST(WinTopLevelWindow, IsFoundFromANestedParentAndRememberedByClass) {
  wintest::TestWindow host;
  HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, host.Handle(), nullptr, nullptr, nullptr);
  HWND grandchild = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, child, nullptr, nullptr, nullptr);
  WinTopLevelWindow top;
  EXPECT_EQ(top.Find(nullptr), nullptr) << "nothing known yet";
  EXPECT_EQ(top.Find(grandchild), host.Handle());
  EXPECT_EQ(top.GetRememberedClass(), wintest::TestWindow::ClassName());
  EXPECT_EQ(top.Find(nullptr), host.Handle()) << "remembered without a parent";
  DestroyWindow(child);

  // The remembered window is gone: another top-level window of the same class stands in.
  WinTopLevelWindow stale;
  {
    wintest::TestWindow first;
    EXPECT_EQ(stale.Find(first.Handle()), first.Handle());
  }
  EXPECT_EQ(stale.Find(nullptr), host.Handle());
}

TEST(WinShell, ADeclinedConfirmationOpensNothing) {
  wintest::TestWindow window;
  std::string text;
  wintest::DialogCloser user(IDNO, [&](HWND box) { text = BoxText(box); });
  EXPECT_FALSE(WinOpenURL(window.Handle(), "https://example.com/manual", "Help", "Open the manual?", nullptr));
  ASSERT_TRUE(user.Closed());
  EXPECT_EQ(text, "Open the manual?");
  EXPECT_EQ(user.Title(), L"Help");
}

TEST(WinShell, ALinkTooLongOrEmptyShowsTheErrorInsteadOfOpening) {
  wintest::TestWindow window;
  std::string text;
  wintest::DialogCloser user(IDOK, [&](HWND box) { text = BoxText(box); });
  const std::string tooLong = "https://example.com/" + std::string(kMaxURL, 'a');
  EXPECT_FALSE(WinOpenURL(window.Handle(), tooLong.c_str(), "Help", nullptr, "Could not open the link."));
  ASSERT_TRUE(user.Closed());
  EXPECT_EQ(text, "Could not open the link.");
  EXPECT_FALSE(WinOpenURL(window.Handle(), "", "Help", nullptr, nullptr));
}

TEST(WinShell, RevealRunsTheFileBrowserWithTheQuotedPath) {
  EXPECT_EQ(ExplorerParameters("C:\\Mixes\\Grüße.wav", true), L"/select,\"C:\\Mixes\\Grüße.wav\"");
  EXPECT_EQ(ExplorerParameters("C:\\Mixes", false), L"\"C:\\Mixes\"");
  const std::wstring program = ExplorerProgram();
  EXPECT_NE(GetFileAttributesW(program.c_str()), INVALID_FILE_ATTRIBUTES) << "the file browser exists";
  EXPECT_FALSE(WinRevealPathInExplorer("", true));
  EXPECT_FALSE(WinRevealPathInExplorer(nullptr, false));
}
