#pragma once
// Reads registry script text into its parsed form. The whole text is read before anything is
// applied, so a malformed script leaves the registry untouched.

#include <cstddef>
#include <string_view>

#include "registrar/script.h"
#include "registrar/script_error.h"
#include "registrar/script_tokens.h"

namespace marupo::registrar {

struct ParseResult {
    Script script;
    ScriptError error = ScriptError::kNone;
    std::size_t errorLine = 0;  // 1-based line of the refused text; 0 when accepted
};

// Blocks nest at most this deep, well past the registry's own limit of key depth in practice.
constexpr std::size_t kMaxNesting = 256;

ParseResult ParseScript(std::wstring_view text, const Replacements& replacements);

}  // namespace marupo::registrar
