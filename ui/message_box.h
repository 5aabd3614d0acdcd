#pragma once
// The one kind of message the user sees: a modal box with an OK button and the exclamation icon,
// captioned with the application title.

#include <windows.h>

#include <string>

namespace marupo::ui {

// Shows the box even when memory has run out: without memory for the application title it
// comes under the system's own caption.
void ShowMessage(const wchar_t* text, HWND owner = nullptr) noexcept;
void ShowMessage(const std::wstring& text, HWND owner = nullptr) noexcept;

// What the user is told when memory has run out; shown without allocating.
void ShowOutOfMemory(HWND owner = nullptr) noexcept;

}  // namespace marupo::ui
