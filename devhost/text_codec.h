#pragma once
// UTF-8 <-> UTF-16 for the book file and the script, and the escaped form both use for values.
// The host keeps every text as UTF-16 exactly as an add-in handed it over, lone surrogates
// included; the escaped form carries such code units through a UTF-8 file unchanged.

#include <optional>
#include <string>
#include <string_view>

namespace marupo::devhost {

// Well-formed pairs become one 4-byte sequence; a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);
// Empty result for malformed UTF-8.
std::optional<std::u16string> FromUtf8(std::string_view text);

// Backslash escapes for a one-line value: \\ \n \r \t \" and \uXXXX for other control
// characters, lone surrogates and spaces at either end (which a file would not keep visibly).
std::string EscapeValue(std::u16string_view text);
// The inverse; also accepts \uXXXX anywhere. Empty result for a malformed escape or UTF-8.
std::optional<std::u16string> UnescapeValue(std::string_view escaped);

}  // namespace marupo::devhost
