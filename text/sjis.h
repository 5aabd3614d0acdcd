#pragma once
// Shift-JIS (code page 932) helpers. Texts are byte strings; a lead byte 0x81-0x9F or 0xE0-0xFC
// takes the next byte as its trail, so searches must step a character at a time.

#include <cstddef>
#include <string_view>

namespace marupo::text {

constexpr bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Byte length of the character starting at `pos`: 2 for a lead byte with a trail, 1 otherwise
// (a lead byte at the very end counts as one byte, so a truncated text never reads past its end).
std::size_t CharLengthAt(std::string_view s, std::size_t pos);

// Number of characters (a double-byte character counts one).
std::size_t CharCount(std::string_view s);

// Character-wise search: a match must start on a character boundary, so the trail byte of one
// character and the lead byte of the next never match. Returns npos when absent.
std::size_t FindCharWise(std::string_view haystack, std::string_view needle, std::size_t from = 0);

// Code-page-932 ordering: single-byte value, double-byte lead*256+trail, shorter prefix first.
// Negative, zero or positive like strcmp.
int CompareCp932(std::string_view a, std::string_view b);

}  // namespace marupo::text
