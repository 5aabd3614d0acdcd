#pragma once
// Shift-JIS (code page 932) helpers. Texts are byte strings; a lead byte 0x81-0x9F or 0xE0-0xFC
// takes the next byte as its trail, so searches must step a character at a time.

#include <cstddef>
#include <string_view>

namespace marupo::text {

constexpr bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Byte length of the character starting at `pos`: 2 for a lead byte with a trail, 1 otherwise
// (a lead byte at the very end counts as one byte, so a truncated text never reads past its end).
std::size_t CharLengthAt(std::string_view s, std::size_t pos);

// Whether `pos` starts a character when `s` is walked character-wise from its start (the end
// position counts as a boundary). Looks back only over the run of lead-byte values before `pos`:
// a byte that cannot be a lead byte always ends a character, so the walk restarts behind it.
bool IsCharBoundary(std::string_view s, std::size_t pos);

// The longest prefix of `s` of at most `maxBytes` bytes that does not cut a character in half.
std::string_view TruncateToBytes(std::string_view s, std::size_t maxBytes);

// Character-wise iteration: `for (std::string_view ch : Characters(text))` yields one or two bytes
// per step, as CharLengthAt splits them.
class Characters {
  public:
    class Iterator {
      public:
        Iterator(std::string_view s, std::size_t pos) : s_(s), pos_(pos) {}
        std::string_view operator*() const { return s_.substr(pos_, CharLengthAt(s_, pos_)); }
        Iterator& operator++() {
            pos_ += CharLengthAt(s_, pos_);
            return *this;
        }
        bool operator==(const Iterator& other) const { return pos_ == other.pos_; }
        bool operator!=(const Iterator& other) const { return pos_ != other.pos_; }
        std::size_t position() const { return pos_; }

      private:
        std::string_view s_;
        std::size_t pos_;
    };

    explicit Characters(std::string_view s) : s_(s) {}
    Iterator begin() const { return Iterator(s_, 0); }
    Iterator end() const { return Iterator(s_, s_.size()); }

  private:
    std::string_view s_;
};

// Character-wise search: a match must start on a character boundary, so the trail byte of one
// character and the lead byte of the next never match. Returns npos when absent.
std::size_t FindCharWise(std::string_view haystack, std::string_view needle, std::size_t from = 0);

// Code-page-932 ordering: single-byte value, double-byte lead*256+trail, shorter prefix first.
// Negative, zero or positive like strcmp.
int CompareCp932(std::string_view a, std::string_view b);

// Whether `text` begins with `prefix`, compared character-wise with Latin letters matched
// regardless of case: the ASCII ones and the full-width ones (Ａ..Ｚ, ａ..ｚ). Trail bytes are
// never taken for letters. An empty prefix begins every text.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);

}  // namespace marupo::text
