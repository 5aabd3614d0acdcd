#pragma once
// Conversion between the system's Shift-JIS (code page 932) texts and UTF-8, for command-line
// output and input. Bytes that do not convert become a replacement character (U+FFFD towards
// UTF-8, "?" towards Shift-JIS) and the conversion goes on behind them.

#include <string>
#include <string_view>

namespace marupo::text {

std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);

#ifdef _WIN32
// Between a Windows code page (CP_ACP, CP_UTF8, 932, ...) and UTF-16.
std::wstring MultiByteToWide(unsigned codePage, std::string_view text);
std::string WideToMultiByte(unsigned codePage, std::wstring_view wide);
#endif

}  // namespace marupo::text
