#pragma once
// Splits registry script text into words, quoted texts, braces and equals signs.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "registrar/script_error.h"

namespace marupo::registrar {

// Name (without the percent signs) and value of one replacement; the value is inserted into
// the script text as it is.
using Replacements = std::vector<std::pair<std::wstring, std::wstring>>;

enum class TokenKind { kWord, kQuoted, kOpenBrace, kCloseBrace, kEquals, kEnd };

struct Token {
    TokenKind kind = TokenKind::kEnd;
    std::wstring text;  // a word as written, a quoted text with its doubled quotes undone
    std::size_t line = 1;
};

struct TokenList {
    std::vector<Token> tokens;  // ends with one kEnd token when the text was read to its end
    ScriptError error = ScriptError::kNone;
    std::size_t errorLine = 0;
};

// Replaces every %NAME% by its value (names compare case-insensitively; "%%" stands for one
// "%"). Values are not searched again. An unknown name or a lone "%" is an error.
ScriptError ExpandReplacements(std::wstring_view script, const Replacements& replacements,
                               std::wstring& expanded, std::size_t& errorLine);

// Blanks are space, TAB, CR and LF. A word runs up to a blank, a quote or "="; a "{" followed by
// a blank, "}" or the end, and any "}" at the start of a word, stand alone, so that a bare
// class identifier such as {7D3B19A2-...} reads as one word.
TokenList Tokenize(std::wstring_view script);

}  // namespace marupo::registrar
