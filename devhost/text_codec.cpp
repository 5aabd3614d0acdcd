#include "devhost/text_codec.h"

#include <cstdint>

namespace marupo::devhost {
namespace {

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendEscapedUnit(std::string& out, char16_t unit) {
    static const char kHex[] = "0123456789ABCDEF";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 0xF];
}

}  // namespace

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::optional<std::u16string> FromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        auto lead = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, cp = lead & 0x1F, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, cp = lead & 0x0F, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, cp = lead & 0x07, minimum = 0x10000;
        } else {
            return std::nullopt;
        }
        if (i + static_cast<size_t>(extra) >= text.size()) return std::nullopt;
        for (int k = 1; k <= extra; ++k) {
            auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || IsHighSurrogate(cp) || IsLowSurrogate(cp)) {
            return std::nullopt;
        }
        AppendUtf16(out, cp);
        i += 1 + static_cast<size_t>(extra);
    }
    return out;
}

std::string EscapeValue(std::u16string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t unit = text[i];
        bool atEdge = i == 0 || i + 1 == text.size();
        switch (unit) {
            case u'\\':
                out += "\\\\";
                continue;
            case u'\n':
                out += "\\n";
                continue;
            case u'\r':
                out += "\\r";
                continue;
            case u'\t':
                out += "\\t";
                continue;
            case u'"':
                out += "\\\"";
                continue;
            default:
                break;
        }
        if (unit < 0x20 || unit == 0x7F || (unit == u' ' && atEdge)) {
            AppendEscapedUnit(out, unit);
        } else if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            out += ToUtf8(text.substr(i, 2));
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendEscapedUnit(out, unit);
        } else {
            out += ToUtf8(text.substr(i, 1));
        }
    }
    return out;
}

std::optional<std::u16string> UnescapeValue(std::string_view escaped) {
    std::u16string out;
    size_t plainStart = 0;
    auto flushPlain = [&](size_t end) {
        auto plain = FromUtf8(escaped.substr(plainStart, end - plainStart));
        if (!plain) return false;
        out += *plain;
        return true;
    };
    for (size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '\\') continue;
        if (!flushPlain(i) || i + 1 >= escaped.size()) return std::nullopt;
        char kind = escaped[i + 1];
        size_t consumed = 2;
        switch (kind) {
            case '\\':
                out += u'\\';
                break;
            case 'n':
                out += u'\n';
                break;
            case 'r':
                out += u'\r';
                break;
            case 't':
                out += u'\t';
                break;
            case '"':
                out += u'"';
                break;
            case 'u': {
                if (i + 6 > escaped.size()) return std::nullopt;
                int value = 0;
                for (size_t k = i + 2; k < i + 6; ++k) {
                    int digit = HexDigit(escaped[k]);
                    if (digit < 0) return std::nullopt;
                    value = value * 16 + digit;
                }
                out += static_cast<char16_t>(value);
                consumed = 6;
                break;
            }
            default:
                return std::nullopt;
        }
        i += consumed - 1;
        plainStart = i + 1;
    }
    if (!flushPlain(escaped.size())) return std::nullopt;
    return out;
}

}  // namespace marupo::devhost
