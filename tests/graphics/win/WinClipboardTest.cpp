#include <gtest/gtest.h>

#include <string>

#include "graphics/win/WinClipboard.h"
#include "graphics/win/WinTestWindow.h"

using namespace igraphics;

namespace {

// The clipboard's Unicode text as the system holds it, read without the code under test.
std::wstring RawClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return L"<clipboard busy>";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = p;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void PlaceImage(HWND owner) {
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  HBITMAP image = CreateBitmap(4, 4, 1, 32, nullptr);
  ASSERT_NE(SetClipboardData(CF_BITMAP, image), nullptr);
  CloseClipboard();
}

}  // namespace

TEST(WinClipboard, NonAsciiTextMakesTheRoundTripAndReachesTheSystemAsUtf16) {
  wintest::TestWindow window;
  const char* texts[] = {"plain", "Grüße, 東京 & ½ dB", "Knee 🎛 (outside the BMP)"};
  const wchar_t* wide[] = {L"plain", L"Grüße, 東京 & ½ dB", L"Knee \U0001F39B (outside the BMP)"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(WinSetTextInClipboard(window.Handle(), texts[i]));
    EXPECT_EQ(RawClipboardText(), wide[i]);
    iplug::TextBuffer back("stale");
    ASSERT_TRUE(WinGetTextFromClipboard(back));
    EXPECT_STREQ(back.Get(), texts[i]);
  }
}

TEST(WinClipboard, AnImageGivesFalseAndEmptyText) {
  wintest::TestWindow window;
  ASSERT_TRUE(WinSetTextInClipboard(window.Handle(), "before"));
  PlaceImage(window.Handle());
  iplug::TextBuffer text("stale");
  EXPECT_FALSE(WinGetTextFromClipboard(text));
  EXPECT_STREQ(text.Get(), "");
}

TEST(WinClipboard, AnEmptyTextEmptiesTheClipboardAndPlacesNothing) {
  wintest::TestWindow window;
  ASSERT_TRUE(WinSetTextInClipboard(window.Handle(), "something"));
  EXPECT_FALSE(WinSetTextInClipboard(window.Handle(), ""));
  iplug::TextBuffer text("stale");
  EXPECT_FALSE(WinGetTextFromClipboard(text));
  EXPECT_STREQ(text.Get(), "");
}
