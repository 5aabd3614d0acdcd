#pragma once
// Commits a conversion in an edit as the input method does: the result string and its reading
// are written into the edit's input context, and the edit is sent WM_IME_COMPOSITION with
// GCS_RESULTSTR and GCS_RESULTREADSTR. The edit, and whatever watches it, then read both
// through the input method manager exactly as after a real conversion.

#include <windows.h>

#include <string>

namespace marupo::devhost {

// False when the edit has no input context to hold the conversion.
bool CommitConversion(HWND edit, const std::wstring& reading, const std::wstring& text);

}  // namespace marupo::devhost
