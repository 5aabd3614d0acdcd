#include "text/encoding.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <new>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

namespace marupo::text {
namespace {

// ASCII is the same in code page 932 and in UTF-8.
bool IsAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

// Whether the eight bytes at `at` are all ASCII (false when fewer remain).
bool EightAscii(std::string_view text, std::size_t at) {
    std::uint64_t eight = 0;
    if (at + sizeof eight > text.size()) return false;
    std::memcpy(&eight, text.data() + at, sizeof eight);
    return (eight & 0x8080808080808080u) == 0;
}

}  // namespace

void Utf8Detector::Feed(std::string_view piece) {
    std::size_t at = 0;
    while (at < piece.size() && valid_) {
        if (pending_ == 0 && EightAscii(piece, at)) {
            at += 8;
            continue;
        }
        const auto b = static_cast<unsigned char>(piece[at++]);
        if (pending_ > 0) {
            valid_ = b >= low_ && b <= high_;
            --pending_;
            low_ = 0x80;
            high_ = 0xBF;
            continue;
        }
        if (b < 0x80) continue;
        nonAscii_ = true;
        // The lead byte sets the length; the ranges after E0, ED, F0 and F4 exclude overlong
        // forms, surrogates and code points above U+10FFFF.
        if (b >= 0xC2 && b <= 0xDF) {
            pending_ = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            pending_ = 2;
            if (b == 0xE0) low_ = 0xA0;
            if (b == 0xED) high_ = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            pending_ = 3;
            if (b == 0xF0) low_ = 0x90;
            if (b == 0xF4) high_ = 0x8F;
        } else {
            valid_ = false;
        }
    }
}

#ifdef _WIN32

namespace {

// The system counts in int; a text beyond that cannot be handed over at all.
int CheckedLength(std::size_t length) {
    if (length > static_cast<std::size_t>(INT_MAX)) throw std::bad_alloc();
    return static_cast<int>(length);
}

// The size the system gave, or its refusal as a ConversionError.
std::size_t Converted(int size) {
    if (size <= 0) throw ConversionError(GetLastError());
    return static_cast<std::size_t>(size);
}

}  // namespace

std::wstring MultiByteToWide(unsigned codePage, std::string_view text) {
    if (text.empty()) return {};
    const int length = CheckedLength(text.size());
    std::wstring wide(Converted(MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0)),
                      L'\0');
    Converted(MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(),
                                  static_cast<int>(wide.size())));
    return wide;
}

std::string WideToMultiByte(unsigned codePage, std::wstring_view wide) {
    if (wide.empty()) return {};
    const int length = CheckedLength(wide.size());
    std::string narrow(Converted(WideCharToMultiByte(codePage, 0, wide.data(), length, nullptr, 0,
                                                     nullptr, nullptr)),
                       '\0');
    Converted(WideCharToMultiByte(codePage, 0, wide.data(), length, narrow.data(),
                                  static_cast<int>(narrow.size()), nullptr, nullptr));
    return narrow;
}

std::string Cp932ToUtf8(std::string_view cp932) {
    if (IsAscii(cp932)) return std::string(cp932);
    return WideToMultiByte(CP_UTF8, MultiByteToWide(932, cp932));
}

std::string Utf8ToCp932(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    std::wstring wide = MultiByteToWide(CP_UTF8, utf8);
    // Code page 932 holds nothing beyond the first 65536 code points, and the system would give
    // each half of a surrogate pair its own "?": the pair becomes one.
    std::size_t kept = 0;
    for (std::size_t at = 0; at < wide.size(); ++at) {
        const bool pair =
            IS_HIGH_SURROGATE(wide[at]) && at + 1 < wide.size() && IS_LOW_SURROGATE(wide[at + 1]);
        wide[kept++] = pair ? L'?' : wide[at];
        if (pair) ++at;
    }
    wide.resize(kept);
    return WideToMultiByte(932, wide);
}

#else

namespace {

// The bytes of the UTF-8 character that `text` starts with; 1 when it starts with none.
std::size_t Utf8CharLength(std::string_view text) {
    Utf8Detector character;
    for (std::size_t length = 1; length <= 4 && length <= text.size(); ++length) {
        character.Feed(text.substr(length - 1, 1));
        if (character.IsUtf8()) return length;
    }
    return 1;
}

// One direction of iconv, opened once per thread: opening costs more than converting a short
// text, and bulk lookups convert every line they print.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw ConversionError(static_cast<unsigned long>(errno));
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Replaces every character that does not convert with `replacement`: `skip` tells how many
    // bytes the character at the start of a text takes. Converts straight into the
    // result, made large enough at once: iconv redoes work whenever its output runs out of room,
    // so a small buffer refilled again and again costs many times the conversion itself.
    template <typename Skip>
    std::string Convert(std::string_view text, std::string_view replacement, const Skip& skip) {
        std::string out;
        if (text.empty()) return out;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
        // Japanese text grows by half from code page 932 to UTF-8; more room is made should it
        // run out.
        out.resize(text.size() * 3 / 2 + replacement.size() + 16);
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        std::size_t used = 0;
        while (true) {
            char* outPtr = out.data() + used;
            std::size_t outLeft = out.size() - used;
            const std::size_t rc =
                iconv(cd_, inLeft > 0 ? &in : nullptr, &inLeft, &outPtr, &outLeft);
            used = static_cast<std::size_t>(outPtr - out.data());
            if (rc != static_cast<std::size_t>(-1)) {
                if (inLeft == 0) break;
                continue;
            }
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            // EILSEQ or EINVAL (a truncated character at the end): replace the character, go on.
            if (out.size() - used < replacement.size()) out.resize(out.size() * 2);
            out.replace(used, replacement.size(), replacement);
            used += replacement.size();
            const std::size_t skipped = skip(std::string_view(in, inLeft));
            in += skipped;
            inLeft -= skipped;
            if (inLeft == 0) break;
        }
        out.resize(used);
        return out;
    }

  private:
    iconv_t cd_;
};

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    if (IsAscii(cp932)) return std::string(cp932);
    thread_local Converter converter("UTF-8", "CP932");
    return converter.Convert(cp932, "\xEF\xBF\xBD", [](std::string_view) { return 1; });
}

std::string Utf8ToCp932(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    thread_local Converter converter("CP932", "UTF-8");
    return converter.Convert(utf8, "?", Utf8CharLength);
}

#endif

}  // namespace marupo::text
