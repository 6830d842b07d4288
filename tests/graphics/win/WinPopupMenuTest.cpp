#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/Utf16Text.h"
#include "graphics/win/WinPopupMenu.h"
#include "graphics/win/WinTestWindow.h"

using namespace igraphics;

namespace {

// What the system holds for one item of a built menu.
struct SystemItem {
  std::string mText;
  UINT mType = 0;
  UINT mState = 0;
  UINT mID = 0;
  HMENU mSubmenu = nullptr;
};

SystemItem ReadItem(HMENU menu, int pos) {
  SystemItem item;
  wchar_t text[128] = {};
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
  info.dwTypeData = text;
  info.cch = 128;
  if (!GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info)) return item;
  item.mText = ToUtf8(text);
  item.mType = info.fType;
  item.mState = info.fState;
  item.mID = info.wID;
  item.mSubmenu = info.hSubMenu;
  return item;
}

std::string MenuString(HMENU menu, int pos) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, static_cast<UINT>(pos), text, 128, MF_BYPOSITION);
  return ToUtf8(text);
}

// Item i of n items reads "Item <i>".
IPopupMenu NumberedMenu(int n) {
  IPopupMenu menu;
  for (int i = 1; i <= n; ++i) menu.AddItem(("Item " + std::to_string(i)).c_str());
  return menu;
}

}  // namespace

TEST(WinPopupMenu, TextsCarryTheirPrefixAndShowAmpersandsLiterally) {
  const std::string x45(45, 'x');
  struct Case {
    int prefix;
    std::string text;
    int position;
    std::string shown;
  };
  const std::vector<Case> cases = {
      {IPopupMenu::kNoPrefix, "Salt & Pepper", 0, "Salt && Pepper"},
      {IPopupMenu::kPrefix1Digit, "Mix", 0, "1: Mix"},
      {IPopupMenu::kPrefix2Digits, "Third", 2, "03: Third"},
      {IPopupMenu::kPrefix3Digits, "A&&B", 2, "003: A&&&&B"},
      {IPopupMenu::kNoPrefix, "Grüße 東京", 0, "Grüße 東京"},
      // 50 bytes at most: "01: " and 45 bytes leave one, and half an "ü" is not shown.
      {IPopupMenu::kPrefix2Digits, x45 + "üü", 0, "01: " + x45},
  };
  for (const Case& c : cases) {
    IPopupMenu menu;
    menu.SetPrefix(c.prefix);
    for (int i = 0; i <= c.position; ++i) menu.AddItem(c.text.c_str());
    WinPopupMenu system(menu);
    ASSERT_NE(system.GetHandle(), nullptr);
    EXPECT_EQ(ReadItem(system.GetHandle(), c.position).mText, c.shown) << c.text;
    EXPECT_EQ(MenuString(system.GetHandle(), c.position), c.shown) << c.text;
  }
}

TEST(WinPopupMenu, ColumnsBreakAtEveryMultipleOfTheColumnLength) {
  IPopupMenu menu = NumberedMenu(12);
  menu.SetItemsPerColumn(5);
  WinPopupMenu system(menu);
  std::vector<int> breaks;
  for (int i = 0; i < 12; ++i)
    if (ReadItem(system.GetHandle(), i).mType & MFT_MENUBARBREAK) breaks.push_back(i + 1);
  EXPECT_EQ(breaks, (std::vector<int>{6, 11})) << "before items 6 and 11";

  IPopupMenu longMenu = NumberedMenu(160);
  longMenu.SetItemsPerColumn(5);
  WinPopupMenu longSystem(longMenu);
  for (int i = 0; i < 160; ++i)
    ASSERT_FALSE(ReadItem(longSystem.GetHandle(), i).mType & MFT_MENUBARBREAK) << "160 items: one column";
}

TEST(WinPopupMenu, ItemStatesSeparatorsAndSubmenusReachTheSystem) {
  auto sub = std::make_unique<IPopupMenu>();
  sub->AddItem("Inner A");
  sub->AddItem("Inner B", IPopupMenu::kChecked);
  IPopupMenu menu;
  menu.AddItem("Greyed", IPopupMenu::kDisabled);
  menu.AddItem("Heading", IPopupMenu::kTitle);
  menu.AddItem("Current", IPopupMenu::kChecked);
  menu.AddSeparator();
  menu.AddItem("More", std::move(sub));
  menu.AddItem("Last");
  WinPopupMenu system(menu);
  const HMENU h = system.GetHandle();
  ASSERT_EQ(GetMenuItemCount(h), 6);

  EXPECT_EQ(GetMenuState(h, 0, MF_BYPOSITION) & (MF_GRAYED | MF_CHECKED), UINT(MF_GRAYED));
  EXPECT_EQ(GetMenuState(h, 1, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED), UINT(MF_DISABLED))
      << "a title is unselectable but not greyed";
  EXPECT_EQ(GetMenuState(h, 2, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED | MF_CHECKED), UINT(MF_CHECKED));
  EXPECT_TRUE(ReadItem(h, 3).mType & MFT_SEPARATOR);

  const SystemItem more = ReadItem(h, 4);
  ASSERT_NE(more.mSubmenu, nullptr);
  EXPECT_EQ(more.mText, "More");
  EXPECT_EQ(GetMenuItemCount(more.mSubmenu), 2);
  EXPECT_EQ(MenuString(more.mSubmenu, 1), "Inner B");
  EXPECT_TRUE(ReadItem(more.mSubmenu, 1).mState & MFS_CHECKED);

  // Identifiers: the top menu's six items first, then the submenu's.
  EXPECT_EQ(ReadItem(h, 0).mID, UINT(WinPopupMenu::kFirstID));
  EXPECT_EQ(ReadItem(h, 5).mID, UINT(WinPopupMenu::kFirstID + 5));
  EXPECT_EQ(ReadItem(more.mSubmenu, 0).mID, UINT(WinPopupMenu::kFirstID + 6));
}

// The real menu loop, driven by keys the owner posts to itself once the menu waits for input.
class ShownMenu : public ::testing::Test {
protected:
  void ChooseWithKeys(std::vector<WPARAM> keys) {
    mWindow.SetIdleHook([this, keys](HWND window, WPARAM kind, LPARAM) {
      if (kind != MSGF_MENU || mKeysSent) return;
      mKeysSent = true;
      for (WPARAM key : keys) {
        PostMessageW(window, WM_KEYDOWN, key, 0);
        PostMessageW(window, WM_KEYUP, key, 0xC0000000);
      }
    });
  }

  wintest::TestWindow mWindow;
  bool mKeysSent = false;
};

TEST_F(ShownMenu, TheChosenSubmenuItemIsReportedAndItsCompletionRuns) {
  auto sub = std::make_unique<IPopupMenu>();
  sub->AddItem("Soft");
  sub->AddItem("Hard");
  IPopupMenu* subModel = sub.get();
  IPopupMenu menu;
  menu.AddItem("Off");
  menu.AddItem("Knee", std::move(sub));
  menu.AddItem("On");
  std::vector<IPopupMenu*> completed;
  subModel->SetFunction([&](IPopupMenu* m) { completed.push_back(m); });
  menu.SetFunction([&](IPopupMenu* m) { completed.push_back(m); });

  ChooseWithKeys({VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
  IPopupMenu* chosen = WinPopupMenu::Show(mWindow.Handle(), menu, IBounds(10, 10, 50, 30), 1.f);
  ASSERT_TRUE(mKeysSent) << "the menu loop never waited for input";
  EXPECT_EQ(chosen, subModel);
  EXPECT_EQ(subModel->GetChosenItemIdx(), 1);
  EXPECT_EQ(completed, std::vector<IPopupMenu*>{subModel}) << "only the chosen item's menu completes";
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);
}

TEST_F(ShownMenu, EscapeChoosesNothing) {
  IPopupMenu menu = NumberedMenu(3);
  bool completed = false;
  menu.SetFunction([&](IPopupMenu*) { completed = true; });
  ChooseWithKeys({VK_DOWN, VK_ESCAPE});
  EXPECT_EQ(WinPopupMenu::Show(mWindow.Handle(), menu, IBounds(0, 0, 10, 10), 2.f), nullptr);
  EXPECT_TRUE(mKeysSent);
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);
  EXPECT_FALSE(completed);
}
