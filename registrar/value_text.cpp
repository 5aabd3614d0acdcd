#include "registrar/value_text.h"

namespace marupo::registrar {
namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}
bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// Whether the fraction digits round the integer part up, half to even.
bool RoundsUp(std::wstring_view fraction, std::uint64_t integer) {
    if (fraction.empty() || fraction[0] < L'5') return false;
    if (fraction[0] > L'5') return true;
    for (std::size_t i = 1; i < fraction.size(); ++i) {
        if (fraction[i] != L'0') return true;
    }
    return integer % 2 == 1;
}

}  // namespace

ScriptError ParseDword(std::wstring_view text, std::uint32_t& number) {
    constexpr std::uint64_t kLimit = 0xFFFFFFFFu;
    std::size_t at = 0;
    std::size_t end = text.size();
    while (at < end && IsBlank(text[at])) ++at;
    while (end > at && IsBlank(text[end - 1])) --end;
    bool negative = false;
    if (at < end && (text[at] == L'+' || text[at] == L'-')) {
        negative = text[at] == L'-';
        ++at;
    }
    // Digits beyond the limit only matter as "too large"; the count stays bounded.
    std::uint64_t integer = 0;
    const std::size_t integerStart = at;
    for (; at < end && IsDigit(text[at]); ++at) {
        integer = integer * 10 + static_cast<std::uint64_t>(text[at] - L'0');
        if (integer > kLimit) integer = kLimit + 1;
    }
    bool hasDigits = at > integerStart;
    std::wstring_view fraction;
    if (at < end && text[at] == L'.') {
        const std::size_t fractionStart = ++at;
        while (at < end && IsDigit(text[at])) ++at;
        fraction = text.substr(fractionStart, at - fractionStart);
        hasDigits = hasDigits || !fraction.empty();
    }
    if (!hasDigits || at != end) return ScriptError::kBadNumber;
    if (RoundsUp(fraction, integer)) ++integer;
    if (integer > kLimit || (negative && integer != 0)) return ScriptError::kNumberOutOfRange;
    number = static_cast<std::uint32_t>(integer);
    return ScriptError::kNone;
}

ScriptError ParseBinary(std::wstring_view text, std::vector<std::uint8_t>& bytes) {
    if (text.size() % 2 != 0) return ScriptError::kBadBinary;
    std::vector<std::uint8_t> parsed;
    parsed.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0) return ScriptError::kBadBinary;
        parsed.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    bytes = std::move(parsed);
    return ScriptError::kNone;
}

}  // namespace marupo::registrar
