#include "module/registration_paths.h"

namespace marupo {
namespace {

constexpr wchar_t kSeparators[] = L"\\/:";

}  // namespace

std::wstring QuotedForScript(const std::wstring& path) {
    std::wstring quoted;
    quoted.reserve(path.size());
    for (wchar_t c : path) {
        quoted += c;
        if (c == L'\'') quoted += c;
    }
    return quoted;
}

std::wstring WithExtension(const std::wstring& path, const std::wstring& extension) {
    const size_t nameStart = path.find_last_of(kSeparators);
    const size_t dot = path.rfind(L'.');
    // A dot in a folder name is no extension of the file.
    const bool hasExtension =
        dot != std::wstring::npos && (nameStart == std::wstring::npos || dot > nameStart);
    return (hasExtension ? path.substr(0, dot) : path) + extension;
}

std::wstring DirectoryOf(const std::wstring& path) {
    const size_t separator = path.find_last_of(kSeparators);
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

}  // namespace marupo
