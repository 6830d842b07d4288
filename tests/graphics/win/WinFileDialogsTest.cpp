#include <gtest/gtest.h>

#include <string>

#include "graphics/IGraphicsConstants.h"
#include "graphics/Utf16Text.h"
#include "graphics/win/WinFileDialogs.h"
#include "graphics/win/WinTestWindow.h"

using namespace igraphics;

namespace {

// A folder under the temporary directory holding one file; removed with the object.
class TempFolder {
public:
  explicit TempFolder(const char* fileName) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    mDir = std::wstring(temp) + L"tollenbrook-dialogs-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(mDir.c_str(), nullptr);
    mFile = mDir + ToWide(fileName);
    CloseHandle(CreateFileW(mFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  ~TempFolder() {
    DeleteFileW(mFile.c_str());
    RemoveDirectoryW(mDir.c_str());
  }
  std::string Dir() const { return ToUtf8(mDir.c_str()); }
  std::string File() const { return ToUtf8(mFile.c_str()); }

private:
  std::wstring mDir;
  std::wstring mFile;
};

}  // namespace

TEST(WinFileFilter, ExtensionsBecomeOnePatternListAndTheFirstIsTheDefault) {
  struct Case {
    const char* list;
    std::wstring filter;
    std::wstring defaultExt;
  };
  const Case cases[] = {
      {"wav aif", std::wstring(L"*.wav;*.aif\0*.wav;*.aif\0\0", 25), L"wav"},
      {"fxp", std::wstring(L"*.fxp\0*.fxp\0\0", 13), L"fxp"},
      {"  wav   .aif ", std::wstring(L"*.wav;*.aif\0*.wav;*.aif\0\0", 25), L"wav"},
      {"", L"", L""},
      {nullptr, L"", L""},
  };
  for (const Case& c : cases) {
    const WinFileFilter f = WinFileFilter::FromExtensionList(c.list);
    EXPECT_EQ(f.mFilter, c.filter) << (c.list ? c.list : "null");
    EXPECT_EQ(f.mDefaultExt, c.defaultExt) << (c.list ? c.list : "null");
  }
}

TEST(WinFileDialog, SetupCarriesStartValuesFlagsAndFilter) {
  const WinFileDialog open(nullptr, kFileOpen, "take 1.wav", "C:\\Sessions", "wav aif");
  const OPENFILENAMEW& o = open.GetSetup();
  EXPECT_EQ(o.Flags, DWORD(OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST));
  EXPECT_EQ(std::wstring(o.lpstrFile), L"take 1.wav");
  EXPECT_EQ(o.nMaxFile, DWORD(MAX_PATH));
  EXPECT_EQ(std::wstring(o.lpstrInitialDir), L"C:\\Sessions");
  EXPECT_EQ(std::wstring(o.lpstrFilter), L"*.wav;*.aif");
  EXPECT_EQ(std::wstring(o.lpstrDefExt), L"wav");

  const WinFileDialog save(nullptr, kFileSave, std::string(300, 'n').c_str(), "", "");
  const OPENFILENAMEW& s = save.GetSetup();
  EXPECT_EQ(s.Flags, DWORD(OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST));
  EXPECT_EQ(std::wstring(s.lpstrFile), L"") << "a start name too long for the buffer starts empty";
  EXPECT_EQ(s.lpstrInitialDir, nullptr);
  EXPECT_EQ(s.lpstrFilter, nullptr);
  EXPECT_EQ(s.lpstrDefExt, nullptr);
}

TEST(WinPromptForFile, WithoutAWindowTheNameEmptiesAndNothingRuns) {
  iplug::TextBuffer name("old.wav"), dir("C:\\");
  bool ran = false;
  WinPromptForFile(nullptr, name, dir, kFileOpen, "wav", [&](auto&, auto&) { ran = true; });
  EXPECT_STREQ(name.Get(), "");
  EXPECT_STREQ(dir.Get(), "C:\\");
  EXPECT_FALSE(ran);
}

TEST(WinPromptForFile, AcceptingTheStartValuesChoosesThatFile) {
  const TempFolder folder("Grüße 1.wav");
  wintest::TestWindow window;
  iplug::TextBuffer name("Grüße 1.wav"), dir(folder.Dir().c_str());
  std::string reported;
  wintest::DialogCloser user(IDOK);
  WinPromptForFile(window.Handle(), name, dir, kFileOpen, "wav aif",
                   [&](const iplug::TextBuffer& n, const iplug::TextBuffer&) { reported = n.Get(); });
  ASSERT_TRUE(user.Closed());
  EXPECT_STREQ(name.Get(), folder.File().c_str());
  EXPECT_STREQ(dir.Get(), folder.Dir().c_str());
  EXPECT_EQ(reported, folder.File());
}

TEST(WinPromptForFile, CancellingEmptiesTheNameAndStillCompletes) {
  wintest::TestWindow window;
  iplug::TextBuffer name("bus.wav"), dir;
  bool ran = false;
  wintest::DialogCloser user(IDCANCEL);
  WinPromptForFile(window.Handle(), name, dir, kFileSave, "wav", [&](auto&, auto&) { ran = true; });
  ASSERT_TRUE(user.Closed());
  EXPECT_STREQ(name.Get(), "");
  EXPECT_TRUE(ran);
}

TEST(WinPromptForDirectory, CancellingGivesAnEmptyDirectory) {
  wintest::TestWindow window;
  iplug::TextBuffer dir("C:\\old\\");
  std::string reportedName = "unset";
  wintest::DialogCloser user(IDCANCEL);
  WinPromptForDirectory(window.Handle(), dir,
                        [&](const iplug::TextBuffer& n, const iplug::TextBuffer&) { reportedName = n.Get(); });
  ASSERT_TRUE(user.Closed());
  EXPECT_EQ(user.Title(), L"Browse for Folder");
  EXPECT_STREQ(dir.Get(), "");
  EXPECT_EQ(reportedName, "");
}
