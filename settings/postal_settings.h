#pragma once
// The three settings of the postal-code lookup, as kept per user in the registry.

#include <cstdint>
#include <string>

namespace marupo {

struct PostalSettings {
    std::string nationwideFile;  // KEN_ALL.CSV path, ANSI code page
    std::string businessFile;    // JIGYOSYO.CSV path, ANSI code page
    std::int32_t divCity = 0;    // designated-city split; only exactly 1 switches it on

    // Both paths set; divCity plays no part.
    bool IsComplete() const { return !nationwideFile.empty() && !businessFile.empty(); }
};

}  // namespace marupo
