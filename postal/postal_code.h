#pragma once
// Validation of a typed postal code: seven ASCII digits, with at most one other byte (a hyphen or
// a blank) among them.

#include <string>
#include <string_view>

namespace marupo {

// Takes the typed text (Shift-JIS bytes). Valid when the text is 7 or 8 bytes long and holds
// exactly seven ASCII digits; hyphens and every other byte are skipped, so full-width digits never
// count. On success `sevenDigits` receives the digits; otherwise it is left empty. The typed text
// itself is never rewritten.
bool NormalizePostalCode(std::string_view typed, std::string& sevenDigits);

}  // namespace marupo
