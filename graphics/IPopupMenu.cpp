#include "graphics/IPopupMenu.h"

#include <cstddef>

#include "graphics/AssignText.h"
namespace igraphics {

IPopupMenu::Item::Item() = default;
IPopupMenu::Item::~Item() = default;
IPopupMenu::Item::Item(Item&&) noexcept = default;
IPopupMenu::Item& IPopupMenu::Item::operator=(Item&&) noexcept = default;

IPopupMenu::Item::Item(const Item& other)
    : mText(other.mText),
      mFlags(other.mFlags),
      mSubmenu(other.mSubmenu ? std::make_unique<IPopupMenu>(*other.mSubmenu) : nullptr) {}

IPopupMenu::Item& IPopupMenu::Item::operator=(const Item& other) {
  if (this != &other) *this = Item(other);
  return *this;
}

void IPopupMenu::AddItem(const char* text, int flags) { AddItem(text, nullptr, flags); }

void IPopupMenu::AddItem(const char* text, std::unique_ptr<IPopupMenu> submenu, int flags) {
  Item item;
  AssignText(item.mText, text);
  item.mFlags = flags;
  item.mSubmenu = std::move(submenu);
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

IPopupMenu* IPopupMenu::GetItemSubmenu(int idx) const {
  const Item* item = GetItem(idx);
  return item ? item->mSubmenu.get() : nullptr;
}

}  // namespace igraphics
