#include <gtest/gtest.h>

#include "graphics/win/WinColorChooser.h"
#include "graphics/win/WinTestWindow.h"

using namespace igraphics;

TEST(WinColorChooser, WithoutAWindowNothingIsAsked) {
  IColor color(255, 1, 2, 3);
  EXPECT_FALSE(WinPromptForColour(nullptr, color, "x"));
  EXPECT_EQ(color, IColor(255, 1, 2, 3));
}

TEST(WinColorChooser, OkKeepsTheStartColourAndCompletesUnderTheCaption) {
  wintest::TestWindow window;
  IColor color(200, 40, 90, 160);
  IColor reported;
  wintest::DialogCloser user(IDOK);
  EXPECT_TRUE(WinPromptForColour(window.Handle(), color, "Meter colour ½", [&](const IColor& c) { reported = c; }));
  ASSERT_TRUE(user.Closed());
  EXPECT_EQ(user.Title(), L"Meter colour ½");
  EXPECT_EQ(color, IColor(200, 40, 90, 160));
  EXPECT_EQ(reported, color);
}

TEST(WinColorChooser, CancelLeavesTheColourAndGivesFalse) {
  wintest::TestWindow window;
  IColor color(255, 1, 2, 3);
  bool ran = false;
  wintest::DialogCloser user(IDCANCEL);
  EXPECT_FALSE(WinPromptForColour(window.Handle(), color, "", [&](const IColor&) { ran = true; }));
  ASSERT_TRUE(user.Closed());
  EXPECT_EQ(color, IColor(255, 1, 2, 3));
  EXPECT_FALSE(ran);
}
