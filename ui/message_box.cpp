#include "ui/message_box.h"

#include "ui/module_state.h"

namespace marupo::ui {

void ShowMessage(const std::wstring& text, HWND owner) {
    // Without an owner the box belongs to the active window of this thread, as a framework
    // message box would.
    if (owner == nullptr) owner = GetActiveWindow();
    MessageBoxW(owner, text.c_str(), ApplicationTitle().c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void ShowMessageAnsi(const std::string& text, HWND owner) {
    int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    ShowMessage(wide, owner);
}

}  // namespace marupo::ui
