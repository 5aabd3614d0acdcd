#include "host/error_text.h"

#include <cstdio>

namespace marupo {

std::wstring TrimMessageLineEnd(std::wstring text) {
    if (text.size() > 1 && text.back() == L'\n') {
        text.pop_back();
        if (!text.empty() && text.back() == L'\r') text.pop_back();
    }
    return text;
}

std::wstring FallbackErrorText(std::int32_t hr) {
    const auto code = static_cast<std::uint32_t>(hr);
    char buffer[40];
    if (code >= 0x80040200u && code <= 0x8004FFFFu && code != 0x80040200u) {
        std::snprintf(buffer, sizeof buffer, "IDispatch error #%u", code - 0x80040200u);
    } else {
        std::snprintf(buffer, sizeof buffer, "Unknown error 0x%lX",
                      static_cast<unsigned long>(code));
    }
    // The text is plain ASCII, so widening byte by byte is exact.
    std::string narrow(buffer);
    return std::wstring(narrow.begin(), narrow.end());
}

}  // namespace marupo
