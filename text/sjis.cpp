#include "text/sjis.h"

namespace marupo::text {

std::size_t CharLengthAt(std::string_view s, std::size_t pos) {
    if (pos >= s.size()) return 0;
    return IsLeadByte(static_cast<unsigned char>(s[pos])) && pos + 1 < s.size() ? 2 : 1;
}

bool IsCharBoundary(std::string_view s, std::size_t pos) {
    if (pos == 0 || pos >= s.size()) return true;
    std::size_t run = 0;
    while (run < pos && IsLeadByte(static_cast<unsigned char>(s[pos - 1 - run]))) ++run;
    // The run starts on a boundary (text start or behind a byte that ends a character) and
    // pairs up from there.
    return run % 2 == 0;
}

std::string_view TruncateToBytes(std::string_view s, std::size_t maxBytes) {
    if (s.size() <= maxBytes) return s;
    std::size_t end = maxBytes;
    if (!IsCharBoundary(s, end)) --end;
    return s.substr(0, end);
}

std::size_t FindCharWise(std::string_view haystack, std::string_view needle, std::size_t from) {
    if (needle.empty()) return from <= haystack.size() ? from : std::string_view::npos;
    for (std::size_t pos = from; pos + needle.size() <= haystack.size();
         pos += CharLengthAt(haystack, pos)) {
        if (haystack.compare(pos, needle.size(), needle) == 0) return pos;
    }
    return std::string_view::npos;
}

namespace {

// The code of the character at `pos`: its byte for a single-byte one, lead*256+trail otherwise.
unsigned CodeAt(std::string_view s, std::size_t pos) {
    auto lead = static_cast<unsigned char>(s[pos]);
    if (CharLengthAt(s, pos) == 2) return lead * 256u + static_cast<unsigned char>(s[pos + 1]);
    return lead;
}

}  // namespace

int CompareCp932(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        unsigned ca = CodeAt(a, i);
        unsigned cb = CodeAt(b, j);
        if (ca != cb) return ca < cb ? -1 : 1;
        i += CharLengthAt(a, i);
        j += CharLengthAt(b, j);
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

namespace {

// The character's code with letters folded to upper case.
unsigned FoldedCodeAt(std::string_view s, std::size_t pos) {
    constexpr unsigned kFullWidthSmallA = 0x8281;
    constexpr unsigned kFullWidthSmallZ = 0x829A;
    constexpr unsigned kFullWidthCaseDistance = 0x8281 - 0x8260;
    unsigned code = CodeAt(s, pos);
    if (code >= 'a' && code <= 'z') return code - ('a' - 'A');
    if (code >= kFullWidthSmallA && code <= kFullWidthSmallZ) return code - kFullWidthCaseDistance;
    return code;
}

}  // namespace

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (j < prefix.size()) {
        if (i >= text.size()) return false;
        if (FoldedCodeAt(text, i) != FoldedCodeAt(prefix, j)) return false;
        i += CharLengthAt(text, i);
        j += CharLengthAt(prefix, j);
    }
    return true;
}

}  // namespace marupo::text
