#pragma once
// Window texts in the ANSI code page (Shift-JIS). Every text inside the add-in is a byte string;
// lengths are counted in bytes, a double-byte character counting two.

#include <windows.h>

#include <string>

namespace marupo::ui {

// The window's text as ANSI bytes; empty for a null window.
std::string WindowTextAnsi(HWND window);
void SetWindowTextAnsi(HWND window, const std::string& text);

// Replaces the text only when it differs, so that an unchanged control keeps its caret and
// selection. Returns whether the text was replaced.
bool SetWindowTextAnsiIfDifferent(HWND window, const std::string& text);

// Conversions between the ANSI code page and UTF-16.
std::wstring AnsiToWide(const std::string& text);
std::string WideToAnsi(const std::wstring& text);

}  // namespace marupo::ui
