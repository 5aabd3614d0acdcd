#pragma once
// Owners for user-interface handles, and loaders that take menus, icons, bitmaps and cursors from
// the current module (ui::CurrentModule(), the add-in itself inside an AddinModuleScope).

#include <windows.h>

#include <utility>

namespace marupo::ui {

// Move-only owner of one handle, released by Traits::Release when it is not null.
template <class Handle, class Traits>
class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    Handle release() { return std::exchange(handle_, nullptr); }
    void reset(Handle handle = nullptr) {
        if (handle_ != nullptr) Traits::Release(handle_);
        handle_ = handle;
    }

  private:
    Handle handle_ = nullptr;
};

struct MenuTraits {
    static void Release(HMENU menu) { DestroyMenu(menu); }
};
struct IconTraits {
    static void Release(HICON icon) { DestroyIcon(icon); }
};
struct CursorTraits {
    static void Release(HCURSOR cursor) { DestroyCursor(cursor); }
};
struct BitmapTraits {
    static void Release(HBITMAP bitmap) { DeleteObject(bitmap); }
};
struct FontTraits {
    static void Release(HFONT font) { DeleteObject(font); }
};

using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;
using UniqueIcon = UniqueHandle<HICON, IconTraits>;
using UniqueCursor = UniqueHandle<HCURSOR, CursorTraits>;
using UniqueBitmap = UniqueHandle<HBITMAP, BitmapTraits>;
using UniqueFont = UniqueHandle<HFONT, FontTraits>;

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
    UniqueMenu menu_;
    HMENU popup_ = nullptr;  // owned by menu_
};

// Resources of the current module. Icons and cursors are loaded unshared, so the owners may
// destroy them. `size` 0 takes the system's large icon size, otherwise size × size pixels.
UniqueIcon LoadIconResource(UINT id, int size = 0);
UniqueCursor LoadCursorResource(UINT id);
UniqueBitmap LoadBitmapResource(UINT id);

// A cursor of the current module for WM_SETCURSOR: loaded once by the system and shared, so that
// setting it on every mouse move creates nothing and it is never destroyed while it is current.
HCURSOR SharedCursorResource(UINT id);

}  // namespace marupo::ui
