#include "ui/resources.h"

#include "ui/module_state.h"

namespace marupo::ui {

PopupMenu::PopupMenu(UINT menuId) : menu_(LoadMenuA(CurrentModule(), MAKEINTRESOURCEA(menuId))) {
    if (menu_) popup_ = GetSubMenu(menu_.Get(), 0);
}

void PopupMenu::CheckItem(UINT commandId, bool checked) {
    if (popup_ != nullptr)
        CheckMenuItem(popup_, commandId, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool PopupMenu::Track(HWND owner, int x, int y) {
    if (popup_ == nullptr) return false;
    return TrackPopupMenu(popup_, TPM_LEFTALIGN | TPM_LEFTBUTTON, x, y, 0, owner, nullptr) != FALSE;
}

win::UniqueIcon LoadIconResource(UINT id, int size) {
    int cx = size > 0 ? size : GetSystemMetrics(SM_CXICON);
    int cy = size > 0 ? size : GetSystemMetrics(SM_CYICON);
    return win::UniqueIcon(static_cast<HICON>(
        LoadImageA(CurrentModule(), MAKEINTRESOURCEA(id), IMAGE_ICON, cx, cy, 0)));
}

win::UniqueCursor LoadCursorResource(UINT id) {
    return win::UniqueCursor(static_cast<HCURSOR>(
        LoadImageA(CurrentModule(), MAKEINTRESOURCEA(id), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)));
}

HCURSOR SharedCursorResource(UINT id) {
    return static_cast<HCURSOR>(LoadImageA(CurrentModule(), MAKEINTRESOURCEA(id), IMAGE_CURSOR, 0,
                                           0, LR_DEFAULTSIZE | LR_SHARED));
}

win::UniqueBitmap LoadBitmapResource(UINT id) {
    return win::UniqueBitmap(static_cast<HBITMAP>(
        LoadImageA(CurrentModule(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)));
}

}  // namespace marupo::ui
