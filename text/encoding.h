#pragma once
// Conversion between the system's Shift-JIS (code page 932) texts and UTF-8, for command-line
// output and input and for the UTF-8 edition of the postal-code file. What does not convert
// becomes a replacement character (U+FFFD towards UTF-8 for each byte, "?" towards Shift-JIS for
// each character, or each byte that starts none) and the conversion goes on behind it.
//
// Every conversion here throws when it cannot be made at all: std::bad_alloc when memory runs
// out or a text is too long for the system's int counts, ConversionError when the system refuses
// it (an unknown code page, a converter that cannot be opened).

#include <stdexcept>
#include <string>
#include <string_view>

namespace marupo::text {

// A conversion the system refused, with the system's error code (GetLastError on Windows,
// errno elsewhere).
class ConversionError : public std::runtime_error {
  public:
    explicit ConversionError(unsigned long code)
        : std::runtime_error("text conversion failed"), code_(code) {}
    unsigned long Code() const { return code_; }

  private:
    unsigned long code_;
};

std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);

// Tells a UTF-8 text from a Shift-JIS one: the text is UTF-8 when it is valid UTF-8 and holds at
// least one byte above 0x7F. Shift-JIS kana and kanji are almost never valid UTF-8, and a text of
// ASCII alone reads the same either way. Fed in pieces, so a long line need not be held whole.
class Utf8Detector {
  public:
    void Feed(std::string_view piece);
    bool IsUtf8() const { return valid_ && pending_ == 0 && nonAscii_; }

  private:
    bool valid_ = true;
    bool nonAscii_ = false;
    int pending_ = 0;           // continuation bytes still due
    unsigned char low_ = 0x80;  // the range the next continuation byte must lie in
    unsigned char high_ = 0xBF;
};

#ifdef _WIN32
// Between a Windows code page (CP_ACP, CP_UTF8, 932, ...) and UTF-16, with no flags: what the
// target cannot hold becomes the code page's default character. The only calls of the system's
// conversion functions in the code base.
std::wstring MultiByteToWide(unsigned codePage, std::string_view text);
std::string WideToMultiByte(unsigned codePage, std::wstring_view wide);
#endif

}  // namespace marupo::text
