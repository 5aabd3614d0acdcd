#pragma once
// The script language's lines: words separated by blanks, "quoted words" with the escapes of
// text_codec.h, `#` starting a comment outside quotes. What the words mean is the runner's job.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "devhost/status.h"

namespace marupo::devhost {

struct ScriptLine {
    int number = 0;
    std::vector<std::u16string> words;
    std::string Keyword() const;  // the first word in UTF-8
    std::string Word(size_t index) const;
};

// A whole word as a decimal number.
std::optional<int> ParseNumber(std::string_view word);

// The lines, blank and comment lines left out; fails with "line N: ..." when the script is
// malformed.
Result<std::vector<ScriptLine>> ParseScript(std::string_view utf8);

}  // namespace marupo::devhost
