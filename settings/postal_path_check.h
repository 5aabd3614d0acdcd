#pragma once
// The check of a postal-code file path when the settings dialog is confirmed: a file Windows will
// delete, or a file of the wrong kind, is refused with a message saying what to choose instead.

#include <string>

namespace marupo {

enum class PostalSlot { kNationwide, kBusiness };

// The message refusing `path` (ANSI) for `slot`, or an empty text when it may be kept. A path in
// the system's temporary folder is refused whether or not the file is still there; a file that
// cannot be read right now (a network drive offline) is kept.
std::wstring CheckPostalPath(PostalSlot slot, const std::string& path);

}  // namespace marupo
