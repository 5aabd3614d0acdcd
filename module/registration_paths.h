#pragma once
// Paths as self-registration writes them. Portable: they need no Windows API.

#include <string>

namespace marupo {

// `path` with every single quote doubled, so that it can stand inside a quoted script value.
std::wstring QuotedForScript(const std::wstring& path);

// The same path with its file name's extension (from the last "." of the file name on, or
// nothing when the name has none) replaced by `extension`.
std::wstring WithExtension(const std::wstring& path, const std::wstring& extension);

// The directory part of a path, up to and including its last "\", "/" or ":"; empty when there
// is none.
std::wstring DirectoryOf(const std::wstring& path);

}  // namespace marupo
