#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "graphics/AssignText.h"
#include "IPlug/TextBuffer.h"

namespace igraphics {

// A menu model: a title, items with flag bits and optional submenus, the chosen item (-1 for
// none) and an optional completion callable that the platform calls with the menu whose item
// was chosen. How the platform shows it: a number prefix style for the item texts and the
// number of items per column (0: one column). Copies are deep (submenus included).
//
// Flags: kDisabled shows the item greyed and unselectable; kTitle shows it in normal text but
// unselectable (a heading); kChecked marks the current choice; kSeparator draws a line.
class IPopupMenu {
public:
  enum EItemFlags { kNoFlags = 0, kDisabled = 1, kTitle = 2, kChecked = 4, kSeparator = 8 };
  // Item texts are prefixed with their 1-based position: none, "1: ", "01: " or "001: ".
  enum EPrefix { kNoPrefix = 0, kPrefix1Digit = 1, kPrefix2Digits = 2, kPrefix3Digits = 3 };
  using CompletionFunc = std::function<void(IPopupMenu* menu)>;

  struct Item {
    iplug::TextBuffer mText;
    int mFlags = kNoFlags;
    std::unique_ptr<IPopupMenu> mSubmenu;

    Item();
    ~Item();
    Item(const Item& other);
    Item& operator=(const Item& other);
    Item(Item&&) noexcept;
    Item& operator=(Item&&) noexcept;
  };

  IPopupMenu() = default;
  explicit IPopupMenu(const char* title) { AssignText(mTitle, title); }

  void SetTitle(const char* title) { AssignText(mTitle, title); }
  const char* GetTitle() const { return mTitle.Get(); }

  void AddItem(const char* text, int flags = kNoFlags);
  // The menu takes the submenu; a null submenu adds a plain item.
  void AddItem(const char* text, std::unique_ptr<IPopupMenu> submenu, int flags = kNoFlags);
  void AddSeparator() { AddItem("", kSeparator); }
  void RemoveAllItems();
  int NItems() const { return static_cast<int>(mItems.size()); }
  // Null for an index outside the menu.
  const Item* GetItem(int idx) const;
  const char* GetItemText(int idx) const;
  bool IsItemChecked(int idx) const;
  // Null when the item has none or the index is outside the menu.
  IPopupMenu* GetItemSubmenu(int idx) const;

  int GetChosenItemIdx() const { return mChosenItemIdx; }
  void SetChosenItemIdx(int idx) { mChosenItemIdx = idx; }
  const Item* GetChosenItem() const { return GetItem(mChosenItemIdx); }

  // Styles outside kNoPrefix..kPrefix3Digits count as kNoPrefix.
  void SetPrefix(int style) { mPrefix = style >= kNoPrefix && style <= kPrefix3Digits ? style : kNoPrefix; }
  int GetPrefix() const { return mPrefix; }
  // 0 (or less): no column breaks.
  void SetItemsPerColumn(int n) { mItemsPerColumn = n > 0 ? n : 0; }
  int GetItemsPerColumn() const { return mItemsPerColumn; }

  void SetFunction(CompletionFunc func) { mFunc = std::move(func); }
  bool HasFunction() const { return static_cast<bool>(mFunc); }
  void ExecFunction() {
    if (mFunc) mFunc(this);
  }

private:
  iplug::TextBuffer mTitle;
  std::vector<Item> mItems;
  int mChosenItemIdx = -1;
  int mPrefix = kNoPrefix;
  int mItemsPerColumn = 0;
  CompletionFunc mFunc;
};

}  // namespace igraphics
