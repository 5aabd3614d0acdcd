#pragma once
// A postal-code file opened for one search. Read in fixed-size blocks from its start to its end,
// never whole and never seeked: a pipe serves as well.

#include <cstddef>
#include <memory>
#include <string>

namespace marupo::postal {

class PostalFile {
  public:
    virtual ~PostalFile() = default;
    // Reads up to `size` bytes: the count read, 0 at the end of the file, -1 on a read error.
    virtual std::ptrdiff_t Read(char* buffer, std::size_t size) = 0;
    // Whether opening the same path again reads the same bytes from the start: false for a pipe,
    // which gives its bytes once.
    virtual bool ReadableAgain() const { return true; }
};

// Opens the file at `path` (ANSI code page on Windows, bytes elsewhere) read-only. On Windows the
// file is opened without sharing: the open fails while another program holds it open, and no
// other program can open it while the search runs. Returns null when the path is empty, names a
// directory, does not exist or cannot be opened.
std::unique_ptr<PostalFile> OpenPostalFile(const std::string& path);

}  // namespace marupo::postal
