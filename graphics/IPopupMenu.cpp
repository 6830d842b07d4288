#include "graphics/IPopupMenu.h"

#include <cstddef>

#include "graphics/AssignText.h"
namespace igraphics {

void IPopupMenu::AddItem(const char* text, int flags) {
  Item item;
  AssignText(item.mText, text);
  item.mFlags = flags;
  mItems.push_back(std::move(item));
}

void IPopupMenu::RemoveAllItems() {
  mItems.clear();
  mChosenItemIdx = -1;
}

const IPopupMenu::Item* IPopupMenu::GetItem(int idx) const {
  if (idx < 0 || idx >= NItems()) return nullptr;
  return &mItems[static_cast<size_t>(idx)];
}

const char* IPopupMenu::GetItemText(int idx) const {
  const Item* item = GetItem(idx);
  return item ? item->mText.Get() : "";
}

bool IPopupMenu::IsItemChecked(int idx) const {
  const Item* item = GetItem(idx);
  return item && (item->mFlags & kChecked);
}

}  // namespace igraphics
