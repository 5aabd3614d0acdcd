#pragma once
// Which of Japan Post's postal-code files a chosen file is, told from its first lines, so that a
// file chosen for the wrong setting is named at once rather than giving wrong addresses.

#include <string>

#include "postal/postal_file.h"

namespace marupo::postal {

enum class PostalDataKind {
    kUnreadable,  // cannot be opened right now
    kNationwide,  // 15 columns, the postal code in column 2 (either edition)
    kBusiness,    // 13 columns, the postal code in column 7
    kOther,       // anything else, and a ZIP archive the search cannot use
};

// How many lines from the start must agree.
inline constexpr int kKindLines = 3;

// The kind of the data the file at `path` holds, a ZIP archive's CSV entry as the search reads it.
PostalDataKind TellPostalDataKind(const std::string& path);

}  // namespace marupo::postal
