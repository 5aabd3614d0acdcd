#pragma once
// The two building blocks of the postal-code file search: finding the first line that contains
// the code, and taking columns out of that line. Both stream, so memory stays bounded by the
// block size and the column cap however long a line is.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "postal/postal_file.h"

namespace marupo::postal {

inline constexpr std::size_t kDefaultBlockSize = 64 * 1024;

// Receives the bytes of the found line in order, possibly in several pieces. The line feed is not
// passed; a carriage return before it is (no column that the search takes reaches that far).
class LineSink {
  public:
    virtual ~LineSink() = default;
    virtual void Feed(std::string_view piece) = 0;
};

enum class ScanResult { hit, noHit, readError };

// Reads `file` from its current position and finds the first line (text up to a line feed; a
// last line without one counts) in which `code` occurs at a character boundary, walking the line
// character-wise in Shift-JIS from its start. The line is fed to `sink`. An empty code finds
// nothing. Reads in blocks of `blockSize` bytes (at least 1).
ScanResult ScanForFirstLine(PostalFile& file, std::string_view code, LineSink& sink,
                            std::size_t blockSize = kDefaultBlockSize);

// Byte search for `needle` in `haystack` (no character boundaries): the first position or npos.
std::size_t FindBytes(std::string_view haystack, std::string_view needle, std::size_t from = 0);

// Each kept column holds at most this many bytes (cut at a character boundary). Japan Post's
// columns are far shorter; the cap only bounds memory for a damaged file.
inline constexpr std::size_t kMaxColumnBytes = 64 * 1024;

// Takes `count` consecutive columns starting at column `first` (counted from 0) from a line fed
// in pieces. Every comma byte separates columns; quotes are not interpreted. A column counts only
// once the comma that closes it has been seen; a column the line lacks stays empty. One pair of
// enclosing double quotes is removed when the column starts and ends with one.
class ColumnPicker final : public LineSink {
  public:
    ColumnPicker(std::size_t first, std::size_t count, std::size_t maxBytes = kMaxColumnBytes);

    void Feed(std::string_view piece) override;

    // Column `first + index`.
    const std::string& Column(std::size_t index) const { return values_[index]; }

  private:
    void Append(std::string_view segment);
    void CloseColumn();

    std::size_t first_;
    std::size_t maxBytes_;
    std::size_t column_ = 0;
    std::vector<std::string> values_;
    std::string kept_;       // the open column's first bytes
    std::size_t total_ = 0;  // the open column's length
    char last_ = '\0';       // its last byte
};

}  // namespace marupo::postal
