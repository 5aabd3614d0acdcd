#pragma once
// A postal-code file opened for one search. Read in fixed-size blocks from its start to its end,
// never whole and never seeked by the search: a pipe serves as well.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace marupo::postal {

// A day of the calendar in local time.
struct CalendarDate {
    int year = 0;
    int month = 0;  // 1 to 12
    int day = 0;    // 1 to 31
};

class PostalFile {
  public:
    virtual ~PostalFile() = default;
    // Reads up to `size` bytes: the count read, 0 at the end of the file, -1 on a read error.
    virtual std::ptrdiff_t Read(char* buffer, std::size_t size) = 0;
    // Whether opening the same path again reads the same bytes from the start: false for a pipe,
    // which gives its bytes once.
    virtual bool ReadableAgain() const { return true; }
    // Moves the read position to `offset` bytes from the start, where the file can: the search
    // never seeks, the ZIP reader does in an archive. False on failure.
    virtual bool Seek(std::uint64_t /*offset*/) { return false; }
    // The length in bytes, where the file knows it.
    virtual std::optional<std::uint64_t> Size() { return std::nullopt; }
    // The day its data was last written, where the file knows it.
    virtual std::optional<CalendarDate> Date() { return std::nullopt; }
};

// Opens the file at `path` (ANSI code page on Windows, bytes elsewhere) read-only, as it is. On
// Windows the file is opened without sharing: the open fails while another program holds it
// open, and no other program can open it while the search runs. Returns null when the path is
// empty, names a directory, does not exist or cannot be opened.
std::unique_ptr<PostalFile> OpenPlainFile(const std::string& path);

// The postal-code data that an opened file holds: the file itself, or, where it is a ZIP archive
// (told by its signature), the archive's CSV entry, inflated as it is read. Null for an archive
// that cannot be used. Reads the file's first bytes without seeking, so a pipe works too.
std::unique_ptr<PostalFile> OpenPostalData(std::unique_ptr<PostalFile> file);

// OpenPlainFile, then OpenPostalData: null where either fails.
std::unique_ptr<PostalFile> OpenPostalFile(const std::string& path);

// The local day of a time given in seconds since 1970-01-01 UTC.
CalendarDate LocalDate(std::int64_t unixSeconds);

// The local day now.
CalendarDate Today();

}  // namespace marupo::postal
