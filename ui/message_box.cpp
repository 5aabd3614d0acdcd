#include "ui/message_box.h"

#include "ui/dialog.h"
#include "ui/module_state.h"
#include "ui/window_text.h"

namespace marupo::ui {

void ShowMessage(const std::wstring& text, HWND owner) {
    // Without an owner the box is owned as a modal dialog without one is.
    if (owner == nullptr) owner = DefaultOwner();
    MessageBoxW(owner, text.c_str(), ApplicationTitle().c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void ShowMessageAnsi(const std::string& text, HWND owner) {
    ShowMessage(AnsiToWide(text), owner);
}

}  // namespace marupo::ui
