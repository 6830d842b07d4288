#pragma once
#include <cstddef>
#include <vector>

#include "graphics/AssignText.h"
#include "IPlug/TextBuffer.h"

namespace igraphics {

// A menu model: a title, items with flag bits and the chosen item (-1 for none).
class IPopupMenu {
public:
  enum EItemFlags { kNoFlags = 0, kDisabled = 1, kTitle = 2, kChecked = 4, kSeparator = 8 };

  struct Item {
    iplug::TextBuffer mText;
    int mFlags = kNoFlags;
  };

  IPopupMenu() = default;
  explicit IPopupMenu(const char* title) { AssignText(mTitle, title); }

  void SetTitle(const char* title) { AssignText(mTitle, title); }
  const char* GetTitle() const { return mTitle.Get(); }

  void AddItem(const char* text, int flags = kNoFlags);
  void RemoveAllItems();
  int NItems() const { return static_cast<int>(mItems.size()); }
  // Null for an index outside the menu.
  const Item* GetItem(int idx) const;
  const char* GetItemText(int idx) const;
  bool IsItemChecked(int idx) const;

  int GetChosenItemIdx() const { return mChosenItemIdx; }
  void SetChosenItemIdx(int idx) { mChosenItemIdx = idx; }
  const Item* GetChosenItem() const { return GetItem(mChosenItemIdx); }

private:
  iplug::TextBuffer mTitle;
  std::vector<Item> mItems;
  int mChosenItemIdx = -1;
};

}  // namespace igraphics
