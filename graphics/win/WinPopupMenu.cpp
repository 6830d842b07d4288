#include "graphics/win/WinPopupMenu.h"

#include <cstdio>

#include "graphics/Utf16Text.h"

namespace igraphics {

namespace {

// The system shows column breaks only in menus short enough to lay out.
constexpr int kMaxItemsForColumns = 160;

const char* PrefixFormat(int style) {
  switch (style) {
    case IPopupMenu::kPrefix1Digit: return "%1d: ";
    case IPopupMenu::kPrefix2Digits: return "%02d: ";
    case IPopupMenu::kPrefix3Digits: return "%03d: ";
    default: return nullptr;
  }
}

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

UINT ItemFlags(const IPopupMenu& menu, int idx) {
  const int flags = menu.GetItem(idx)->mFlags;
  UINT system = MF_STRING;
  if (flags & IPopupMenu::kDisabled) system |= MF_GRAYED;
  if (flags & IPopupMenu::kTitle) system |= MF_DISABLED;
  if (flags & IPopupMenu::kChecked) system |= MF_CHECKED;
  const int perColumn = menu.GetItemsPerColumn();
  if (menu.NItems() < kMaxItemsForColumns && perColumn > 0 && idx > 0 && idx % perColumn == 0)
    system |= MF_MENUBARBREAK;
  return system;
}

IPopupMenu* FindItemFrom(IPopupMenu& menu, int id, int& base, int& idx) {
  const int first = base;
  base += menu.NItems();
  if (id >= first && id < base) {
    idx = id - first;
    return &menu;
  }
  for (int i = 0; i < menu.NItems(); ++i) {
    if (IPopupMenu* sub = menu.GetItemSubmenu(i))
      if (IPopupMenu* found = FindItemFrom(*sub, id, base, idx)) return found;
  }
  return nullptr;
}

}  // namespace

WinPopupMenu::WinPopupMenu(const IPopupMenu& menu) {
  int base = kFirstID;
  mMenu = Build(menu, base);
}

WinPopupMenu::~WinPopupMenu() {
  if (mMenu) DestroyMenu(mMenu);  // submenus go with it
}

HMENU WinPopupMenu::Build(const IPopupMenu& menu, int& base) {
  const int first = base;
  base += menu.NItems();
  HMENU system = CreatePopupMenu();
  for (int i = 0; i < menu.NItems(); ++i) {
    // Submenus are built even when this menu could not be, so the numbering stays the one
    // FindItem walks.
    const IPopupMenu* subModel = menu.GetItemSubmenu(i);
    HMENU sub = subModel ? Build(*subModel, base) : nullptr;
    if (!system) {
      if (sub) DestroyMenu(sub);
      continue;
    }
    if (menu.GetItem(i)->mFlags & IPopupMenu::kSeparator) {
      if (sub) DestroyMenu(sub);
      AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const std::wstring text = ToWide(ItemText(menu, i).c_str());
    if (sub) {
      AppendMenuW(system, ItemFlags(menu, i) | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text.c_str());
    } else {
      AppendMenuW(system, ItemFlags(menu, i), static_cast<UINT_PTR>(first + i), text.c_str());
    }
  }
  return system;
}

std::string WinPopupMenu::ItemText(const IPopupMenu& menu, int idx) {
  std::string text;
  if (const char* format = PrefixFormat(menu.GetPrefix())) {
    char prefix[16];
    std::snprintf(prefix, sizeof(prefix), format, idx + 1);
    text = prefix;
  }
  text += menu.GetItemText(idx);
  if (text.size() > kMaxItemText) {
    size_t cut = kMaxItemText;
    while (cut > 0 && IsUtf8Continuation(text[cut])) --cut;  // never half a character
    text.resize(cut);
  }
  std::string shown;
  for (char c : text) {
    shown += c;
    if (c == '&') shown += '&';  // a literal ampersand, not a mnemonic
  }
  return shown;
}

IPopupMenu* WinPopupMenu::FindItem(IPopupMenu& root, int id, int& idx) {
  int base = kFirstID;
  return FindItemFrom(root, id, base, idx);
}

IPopupMenu* WinPopupMenu::Show(HWND owner, IPopupMenu& menu, const IBounds& anchor, float totalScale) {
  IPopupMenu* chosen = nullptr;
  {
    WinPopupMenu system(menu);
    POINT at{static_cast<LONG>(anchor.L * totalScale), static_cast<LONG>(anchor.T * totalScale)};
    ClientToScreen(owner, &at);
    // Without TPM_RETURNCMD the choice arrives as a WM_COMMAND posted to the owner.
    if (system.GetHandle() && TrackPopupMenu(system.GetHandle(), TPM_LEFTBUTTON, at.x, at.y, 0, owner, nullptr)) {
      MSG msg;
      if (PeekMessageW(&msg, owner, WM_COMMAND, WM_COMMAND, PM_REMOVE) && HIWORD(msg.wParam) == 0 &&
          msg.lParam == 0) {
        int idx = -1;
        chosen = FindItem(menu, LOWORD(msg.wParam), idx);
        if (chosen) {
          chosen->SetChosenItemIdx(idx);
          chosen->ExecFunction();
        }
      }
    }
  }
  InvalidateRect(owner, nullptr, FALSE);
  return chosen;
}

}  // namespace igraphics
