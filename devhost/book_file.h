#pragma once
// The book's text file: UTF-8, one `key = value` per line under `[book]` and `[record ID]`
// headers, values escaped as in text_codec.h. The format is described in docs/devhost.md.

#include <optional>
#include <string>
#include <string_view>

#include "devhost/book.h"

namespace marupo::devhost {

struct BookParseResult {
    std::optional<Book> book;
    std::string error;  // "line N: ..." when book is empty
};

BookParseResult ParseBook(std::string_view utf8);
std::string FormatBook(const Book& book);

// File helpers: the error text names the file; paths are UTF-8.
BookParseResult LoadBookFile(const std::string& path);
bool SaveBookFile(const Book& book, const std::string& path, std::string* error);

}  // namespace marupo::devhost
