#pragma once
// The building blocks of the postal-code file search: finding the lines that contain the codes,
// and taking columns out of a line. Both stream, so memory stays bounded by the block size, the
// kept line start and the column cap however long a line is.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "postal/postal_file.h"

namespace marupo::postal {

inline constexpr std::size_t kDefaultBlockSize = 64 * 1024;

// How much of a line's start the search keeps once the line has left the block it began in: room
// for every column the search takes, each up to its cap (kMaxColumnBytes), with the columns before.
inline constexpr std::size_t kKeptLineBytes = 1024 * 1024;

// Receives the bytes of a line in order, possibly in several pieces. The line feed is not passed;
// a carriage return before it is (no column that the search takes reaches that far).
class LineSink {
  public:
    virtual ~LineSink() = default;
    virtual void Feed(std::string_view piece) = 0;
};

enum class ScanResult { kHit, kNoHit, kReadError };

// A set of seven-digit postal codes, one bit for each of the numbers 0000000 to 9999999, so that
// every run of seven digits in a file is tested against all of them at once.
class CodeSet {
  public:
    static constexpr std::uint32_t kCodeCount = 10000000;

    // The number that seven ASCII digits spell; false for any other text.
    static bool Parse(std::string_view digits, std::uint32_t& code);

    void Insert(std::uint32_t code);
    void Erase(std::uint32_t code);
    bool Contains(std::uint32_t code) const { return (bits_[code / 64] >> (code % 64)) & 1u; }
    bool Empty() const { return size_ == 0; }

  private:
    std::vector<std::uint64_t> bits_ = std::vector<std::uint64_t>((kCodeCount + 63) / 64);
    std::size_t size_ = 0;
};

// Reads a postal-code file line by line (a line is the text up to a line feed; a last line
// without one counts), skipping lines that cannot matter quickly. Each call feeds whole lines to a
// sink and leaves the scanner at the start of the line after. A code counts where it starts at a
// character boundary, the line walked character-wise in Shift-JIS from its start. A UTF-8
// byte-order mark at the start of the file is skipped.
//
// The file is read once from its start and never seeked, so a pipe serves as well as a file.
// Memory stays bounded however long a line is: one block, and the start of the line being
// searched that has left the block, kept up to kKeptLineBytes. A hit line's sink gets the whole
// line when its start is still held (always for the lines of a real file, a few hundred bytes);
// a hit further than that into a longer line, which only a damaged file has, feeds the sink the
// line's first kKeptLineBytes bytes and no more, so that a column the cut leaves open stays
// empty. The codes found on a line (the set search) are always taken from the whole line.
class LineScanner {
  public:
    // Reads in blocks of `blockSize` bytes (at least 1).
    explicit LineScanner(PostalFile& file, std::size_t blockSize = kDefaultBlockSize);
    LineScanner(const LineScanner&) = delete;
    LineScanner& operator=(const LineScanner&) = delete;

    // Feeds the first line from here on in which `code` occurs. An empty code finds nothing.
    ScanResult FindLine(std::string_view code, LineSink& sink);

    // Feeds the first line from here on that holds any code of `codes` as seven digits, and adds
    // every code of `codes` that the line holds to `found` (each once, in the line's order).
    ScanResult FindLine(const CodeSet& codes, LineSink& sink, std::vector<std::uint32_t>& found);

    // Feeds the next line, whatever it holds (hit: a line was read; noHit: the end of the file).
    ScanResult ReadLine(LineSink& sink);
    // The same, adding the codes of `codes` that the line holds to `found`.
    ScanResult ReadLine(const CodeSet& codes, LineSink& sink, std::vector<std::uint32_t>& found);

  private:
    class CodeWalk;

    bool Start();
    std::ptrdiff_t Refill(std::size_t keepFrom);
    void KeepLineStart(std::string_view bytes);
    void ForgetLineStart();
    // Feeds the line from the current position to its end: to `sink` when given, and to `walk`
    // when given from buffer position `walkFrom` on.
    ScanResult FeedLine(LineSink* sink, CodeWalk* walk, std::size_t walkFrom);
    template <typename Matcher>
    ScanResult Find(const Matcher& matcher, LineSink& sink, CodeWalk* walk);

    PostalFile& file_;
    std::size_t blockSize_;
    std::vector<char> buffer_;
    std::size_t size_ = 0;   // bytes of buffer_ that hold file data
    std::size_t pos_ = 0;    // where the next line starts in buffer_
    std::string lineStart_;  // the searched line's bytes that have left buffer_
    bool lineCut_ = false;   // more of them left than lineStart_ keeps
    bool started_ = false;
    bool failed_ = false;
};

// Byte search for `needle` in `haystack` (no character boundaries): the first position or npos.
std::size_t FindBytes(std::string_view haystack, std::string_view needle, std::size_t from = 0);

// Each kept column holds at most this many bytes (cut at a character boundary). Japan Post's
// columns are far shorter; the cap only bounds memory for a damaged file.
inline constexpr std::size_t kMaxColumnBytes = 64 * 1024;

// Takes the given columns (counted from 0, in ascending order) from a line fed in pieces. Every
// comma byte separates columns; quotes are not interpreted. A column counts only once the comma
// that closes it has been seen; a column the line lacks stays empty. One pair of enclosing double
// quotes is removed when the column starts and ends with one.
class ColumnPicker final : public LineSink {
  public:
    explicit ColumnPicker(std::vector<std::size_t> columns, std::size_t maxBytes = kMaxColumnBytes);

    void Feed(std::string_view piece) override;
    // Ready for the next line; the memory is kept.
    void Clear();

    // The `index`-th of the columns asked for.
    const std::string& Column(std::size_t index) const { return values_[index]; }

  private:
    void Append(std::string_view segment);
    // Takes the column whose first bytes are `kept`, `total` bytes long and ending in `last`.
    void Store(std::string_view kept, std::size_t total, char last);

    std::vector<std::size_t> columns_;
    std::size_t maxBytes_;
    std::size_t next_ = 0;    // index in columns_ of the next column to take
    std::size_t column_ = 0;  // the column the line is in
    std::vector<std::string> values_;
    std::string kept_;       // the open column's first bytes
    std::size_t total_ = 0;  // the open column's length
    char last_ = '\0';       // its last byte
};

}  // namespace marupo::postal
