#pragma once
// Loaders that take menus, icons, bitmaps and cursors from the current module
// (ui::CurrentModule(), the add-in itself inside an AddinModuleScope), into the owners of
// win/unique_handle.h.

#include <windows.h>

#include "win/unique_handle.h"

namespace marupo::ui {

// A menu resource of the current module whose first submenu is shown as a popup, as the label
// menus of the contact slots are. The whole loaded menu is destroyed with this object.
class PopupMenu {
  public:
    explicit PopupMenu(UINT menuId);

    bool Loaded() const { return popup_ != nullptr; }
    // The first submenu (the popup itself); null when the resource is missing.
    HMENU Handle() const { return popup_; }

    // Puts or removes the check mark of the item with command id `commandId`.
    void CheckItem(UINT commandId, bool checked);

    // Shows the popup with its top-left corner at (x, y) in screen coordinates, left-aligned,
    // tracking the left button. The chosen command is posted to `owner` as WM_COMMAND (menu
    // code 0) after the menu has closed. Returns false when the menu could not be shown.
    bool Track(HWND owner, int x, int y);

  private:
    win::UniqueMenu menu_;
    HMENU popup_ = nullptr;  // owned by menu_
};

// Resources of the current module. Icons and cursors are loaded unshared, so the owners may
// destroy them. `size` 0 takes the system's large icon size, otherwise size × size pixels.
win::UniqueIcon LoadIconResource(UINT id, int size = 0);
win::UniqueCursor LoadCursorResource(UINT id);
win::UniqueBitmap LoadBitmapResource(UINT id);

// A cursor of the current module for WM_SETCURSOR: loaded once by the system and shared, so that
// setting it on every mouse move creates nothing and it is never destroyed while it is current.
HCURSOR SharedCursorResource(UINT id);

}  // namespace marupo::ui
