// Backs IGraphics::CreatePlatformPopupMenu: the native popup menu of an IPopupMenu tree.
#pragma once
#include <windows.h>

#include <string>

#include "graphics/IBounds.h"
#include "graphics/IPopupMenu.h"

namespace igraphics {

// The system menu built from an IPopupMenu tree, destroyed with this object.
//
// Item identifiers are consecutive from kFirstID: the items of a menu take base + 0 .. n - 1,
// and every menu advances the base by its item count before its submenus are built, so an
// identifier is unique across the tree and maps back to (menu, index) by walking the tree in
// the same order. Item texts carry the menu's number prefix and show "&" literally; flags map
// kDisabled to greyed, kTitle to disabled (shown normally, not selectable), kChecked to a
// check mark and kSeparator to a separator line. A menu of fewer than 160 items with a column
// length starts a new column at every non-zero multiple of that length.
//
// Threads: the editor's UI thread (the thread that owns the window the menu is shown for).
class WinPopupMenu {
public:
  // 0 is the menu loop's "nothing chosen".
  static constexpr int kFirstID = 1;
  // Longest item text given to the system, prefix included, in bytes of UTF-8.
  static constexpr size_t kMaxItemText = 50;

  explicit WinPopupMenu(const IPopupMenu& menu);
  ~WinPopupMenu();
  WinPopupMenu(const WinPopupMenu&) = delete;
  WinPopupMenu& operator=(const WinPopupMenu&) = delete;

  // Null when the system could not make a menu.
  HMENU GetHandle() const { return mMenu; }

  // The text item idx of menu is shown with: prefixed, cut to kMaxItemText bytes at a
  // character boundary, every "&" doubled.
  static std::string ItemText(const IPopupMenu& menu, int idx);
  // The menu of the tree that holds the item with identifier id, and the item's index in it;
  // null when no item has it.
  static IPopupMenu* FindItem(IPopupMenu& root, int id, int& idx);

  // Shows the menu at the anchor's top left (logical units, scaled by totalScale into the
  // owner's client pixels) and runs the modal menu loop. When an item is chosen its menu's
  // chosen index is set and its completion function called; that menu is returned. Null when
  // nothing was chosen. The owner is repainted afterwards.
  static IPopupMenu* Show(HWND owner, IPopupMenu& menu, const IBounds& anchor, float totalScale);

private:
  static HMENU Build(const IPopupMenu& menu, int& base);

  HMENU mMenu = nullptr;
};

}  // namespace igraphics
