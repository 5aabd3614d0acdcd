#include "postal/postal_code.h"

namespace marupo {

bool NormalizePostalCode(std::string_view typed, std::string& sevenDigits) {
    constexpr std::size_t kDigits = 7;
    sevenDigits.clear();
    if (typed.size() != kDigits && typed.size() != kDigits + 1) return false;
    std::string digits;
    for (char c : typed) {
        if (c < '0' || c > '9') continue;  // the hyphen and any other byte are skipped
        if (digits.size() == kDigits) return false;
        digits.push_back(c);
    }
    if (digits.size() != kDigits) return false;
    sevenDigits = digits;
    return true;
}

}  // namespace marupo
