#include "postal/postal_code.h"

#include "text/sjis.h"

namespace marupo {
namespace {

constexpr std::string_view kFullWidthZero = "\x82\x4F";   // ０
constexpr std::string_view kFullWidthBlank = "\x81\x40";  // 　
constexpr std::string_view kPostalMark = "\x81\xA7";      // 〒
// －(and −, which code page 932 writes the same) ‐ ― ー
constexpr std::string_view kHyphenLike[] = {"\x81\x7C", "\x81\x5D", "\x81\x5C", "\x81\x5B"};

// The ASCII form of one character, or the character itself.
std::string_view AsciiForm(std::string_view character, char& digit) {
    if (character.size() == 2 && character[0] == kFullWidthZero[0]) {
        const int offset = static_cast<unsigned char>(character[1]) -
                           static_cast<unsigned char>(kFullWidthZero[1]);
        if (offset >= 0 && offset <= 9) {
            digit = static_cast<char>('0' + offset);
            return std::string_view(&digit, 1);
        }
    }
    if (character == kFullWidthBlank) return " ";
    for (std::string_view hyphen : kHyphenLike) {
        if (character == hyphen) return "-";
    }
    return character;
}

}  // namespace

std::string ReadTypedPostalCode(std::string_view typed) {
    std::string text;
    for (std::string_view character : text::Characters(typed)) {
        char digit = '\0';
        text.append(AsciiForm(character, digit));
    }
    // A trail byte is never a blank; a mark at the back counts only where a character starts.
    std::string_view rest = text;
    while (true) {
        if (!rest.empty() && rest.front() == ' ') {
            rest.remove_prefix(1);
        } else if (rest.substr(0, kPostalMark.size()) == kPostalMark) {
            rest.remove_prefix(kPostalMark.size());
        } else if (!rest.empty() && rest.back() == ' ') {
            rest.remove_suffix(1);
        } else if (rest.size() >= kPostalMark.size() &&
                   rest.substr(rest.size() - kPostalMark.size()) == kPostalMark &&
                   text::IsCharBoundary(rest, rest.size() - kPostalMark.size())) {
            rest.remove_suffix(kPostalMark.size());
        } else {
            break;
        }
    }
    return std::string(rest);
}

bool NormalizePostalCode(std::string_view typed, std::string& sevenDigits) {
    constexpr std::size_t kDigits = 7;
    sevenDigits.clear();
    const std::string text = ReadTypedPostalCode(typed);
    if (text.size() != kDigits && text.size() != kDigits + 1) return false;
    std::string digits;
    for (char c : text) {
        if (c < '0' || c > '9') continue;  // the hyphen and any other byte are skipped
        if (digits.size() == kDigits) return false;
        digits.push_back(c);
    }
    if (digits.size() != kDigits) return false;
    sevenDigits = digits;
    return true;
}

}  // namespace marupo
