#include <gtest/gtest.h>

#include "graphics/win/WinColorChooser.h"
#include "graphics/win/WinTestWindow.h"

using namespace igraphics;

TEST(WinColorChooser, SetupStartsAtTheColourFullyOpenWithTheHook) {
  const WinColorChooser chooser(nullptr, IColor(128, 10, 20, 30), "Needle");
  const CHOOSECOLORW& s = chooser.GetSetup();
  EXPECT_EQ(s.rgbResult, RGB(10, 20, 30));
  EXPECT_EQ(s.Flags, DWORD(CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR));
  EXPECT_NE(s.lpfnHook, nullptr);
  EXPECT_NE(s.lpCustColors, nullptr);
  EXPECT_EQ(chooser.GetChosen(), IColor(128, 10, 20, 30)) << "alpha is kept";
}

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
