#include "devhost/script.h"

#include <charconv>

#include "devhost/text_codec.h"

namespace marupo::devhost {

std::string ScriptLine::Keyword() const {
    return Word(0);
}

std::string ScriptLine::Word(size_t index) const {
    return index < words.size() ? ToUtf8(words[index]) : std::string();
}

std::optional<int> ParseNumber(std::string_view word) {
    int value = 0;
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc() || end != word.data() + word.size() || word.empty()) return std::nullopt;
    return value;
}

Result<std::vector<ScriptLine>> ParseScript(std::string_view text) {
    std::vector<ScriptLine> lines;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    int number = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        auto fail = [&](const std::string& message) {
            return Status::Failure("line " + std::to_string(number) + ": " + message);
        };
        ScriptLine parsed;
        parsed.number = number;
        size_t i = 0;
        while (i < line.size()) {
            char c = line[i];
            if (c == ' ' || c == '\t' || c == '\r') {
                ++i;
                continue;
            }
            if (c == '#') break;
            size_t wordStart = i;
            if (c == '"') {
                ++i;
                while (i < line.size() && line[i] != '"') i += line[i] == '\\' ? 2 : 1;
                if (i >= line.size()) return fail("unterminated quoted word");
                auto word = UnescapeValue(line.substr(wordStart + 1, i - wordStart - 1));
                if (!word) return fail("malformed escape or UTF-8 in quoted word");
                parsed.words.push_back(*word);
                ++i;
                continue;
            }
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
            auto word = FromUtf8(line.substr(wordStart, i - wordStart));
            if (!word) return fail("malformed UTF-8");
            parsed.words.push_back(*word);
        }
        if (!parsed.words.empty()) lines.push_back(std::move(parsed));
    }
    return lines;
}

}  // namespace marupo::devhost
