#include "ui/message_box.h"

#include "ui/dialog.h"
#include "ui/module_state.h"

namespace marupo::ui {

void ShowMessage(const wchar_t* text, HWND owner) noexcept {
    // Without an owner the box is owned as a modal dialog without one is.
    if (owner == nullptr) owner = DefaultOwner();
    std::wstring title;
    const wchar_t* caption = nullptr;  // the system's own
    try {
        title = ApplicationTitle();
        caption = title.c_str();
    } catch (...) {
        // No memory for the title: the system's caption stands in.
    }
    MessageBoxW(owner, text, caption, MB_OK | MB_ICONEXCLAMATION);
}

void ShowMessage(const std::wstring& text, HWND owner) noexcept {
    ShowMessage(text.c_str(), owner);
}

void ShowOutOfMemory(HWND owner) noexcept {
    ShowMessage(L"メモリが不足しています。", owner);
}

}  // namespace marupo::ui
