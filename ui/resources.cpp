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

bool PopupMenu::IsItemChecked(UINT commandId) const {
    if (popup_ == nullptr) return false;
    UINT state = GetMenuState(popup_, commandId, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

bool PopupMenu::Track(HWND owner, int x, int y) {
    if (popup_ == nullptr) return false;
    return TrackPopupMenu(popup_, TPM_LEFTALIGN | TPM_LEFTBUTTON, x, y, 0, owner, nullptr) != FALSE;
}

UINT PopupMenu::TrackForCommand(HWND owner, int x, int y) {
    if (popup_ == nullptr) return 0;
    BOOL chosen = TrackPopupMenu(popup_, TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, x, y, 0,
                                 owner, nullptr);
    return static_cast<UINT>(chosen);
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
