#include "ui/window_text.h"

#include "text/encoding.h"

namespace marupo::ui {

std::string WindowTextAnsi(HWND window) {
    if (window == nullptr) return {};
    // The length may overstate the ANSI byte count (it is exact or larger); the copy tells the
    // real one.
    int length = GetWindowTextLengthA(window);
    if (length <= 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

void SetWindowTextAnsi(HWND window, const std::string& text) {
    if (window != nullptr) SetWindowTextA(window, text.c_str());
}

bool SetWindowTextAnsiIfDifferent(HWND window, const std::string& text) {
    if (window == nullptr || WindowTextAnsi(window) == text) return false;
    SetWindowTextA(window, text.c_str());
    return true;
}

std::wstring AnsiToWide(const std::string& text) {
    return text::MultiByteToWide(CP_ACP, text);
}

std::string WideToAnsi(const std::wstring& text) {
    return text::WideToMultiByte(CP_ACP, text);
}

}  // namespace marupo::ui
