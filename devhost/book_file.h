#pragma once
// The book's text file: UTF-8, one `key = value` per line under `[book]` and `[record ID]`
// headers, values escaped as in text_codec.h. The format is described in docs/devhost.md.

#include <string>
#include <string_view>

#include "devhost/book.h"
#include "devhost/status.h"

namespace marupo::devhost {

// Fails with "line N: ...".
Result<Book> ParseBook(std::string_view utf8);
std::string FormatBook(const Book& book);

// File helpers: a failure names the file; paths are UTF-8.
Result<Book> LoadBookFile(const std::string& path);
Status SaveBookFile(const Book& book, const std::string& path);

}  // namespace marupo::devhost
