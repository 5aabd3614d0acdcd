#pragma once
// The typed values of a script: the quoted text of a `d` or `b` value turned into its data.

#include <cstdint>
#include <string_view>
#include <vector>

#include "registrar/script_error.h"

namespace marupo::registrar {

// Decimal text to a 32-bit unsigned number, read as the automation string-to-number conversion
// reads it: blanks around the number, an optional sign and a fraction, which is rounded half to
// even. A negative number that does not round to 0, or one above 4294967295, is out of range.
ScriptError ParseDword(std::wstring_view text, std::uint32_t& number);

// Pairs of hexadecimal digits to bytes; an odd count or any other character is refused.
ScriptError ParseBinary(std::wstring_view text, std::vector<std::uint8_t>& bytes);

}  // namespace marupo::registrar
