#pragma once
// Shift-JIS (code page 932) test texts written as readable literals: Sjis("北海道") from the
// source's UTF-8, and under Windows Sjis(L"北海道") from a wide text such as a path.

#include <string>
#include <string_view>

#include "text/encoding.h"

namespace marupo::testing {

inline std::string Sjis(std::string_view utf8) {
    return text::Utf8ToCp932(utf8);
}

#ifdef _WIN32
inline std::string Sjis(std::wstring_view wide) {
    return text::WideToMultiByte(932, wide);
}
#endif

}  // namespace marupo::testing
