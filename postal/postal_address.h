#pragma once

#include <string>

namespace marupo {

// A found address, in the postal-code files' own encoding (Shift-JIS).
struct PostalAddress {
    std::string prefecture;
    std::string city;
    std::string street;
};

}  // namespace marupo
