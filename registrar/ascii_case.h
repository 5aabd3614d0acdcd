#pragma once
// Case-insensitive comparison of script keywords, root keys and replacement names, which are
// all ASCII; other characters compare as they are.

#include <string_view>

namespace marupo::registrar {

constexpr wchar_t FoldAscii(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c;
}

constexpr bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

}  // namespace marupo::registrar
