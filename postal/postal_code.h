#pragma once
// Validation of a typed postal code, read as a Japanese user means it: full-width digits,
// hyphen-like characters and blanks count as their ASCII forms, and 〒 marks and blanks around
// the code are dropped. What remains must be seven ASCII digits with at most one other byte (a
// hyphen or a blank) among them.

#include <string>
#include <string_view>

namespace marupo {

// The typed text (Shift-JIS) as the user means it: full-width digits become ASCII digits, the
// hyphen-like characters (－ ‐ ― ー −) a hyphen, a full-width blank a blank; then 〒 marks and
// blanks are dropped from both ends until neither stands there.
std::string ReadTypedPostalCode(std::string_view typed);

// Valid when the text read by ReadTypedPostalCode is 7 or 8 bytes long and holds exactly seven
// ASCII digits; hyphens and every other byte are skipped. On success `sevenDigits` receives the
// digits; otherwise it is left empty. The typed text itself is never rewritten.
bool NormalizePostalCode(std::string_view typed, std::string& sevenDigits);

}  // namespace marupo
